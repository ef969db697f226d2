#!/usr/bin/env bash
# Installs what building and testing Tesvar needs on a Debian 12 machine: everything that
# is missing in one `apt-get install`, after at most one `apt-get update`, without the
# packages' recommendations.
#
# Usage: tools/install-deps.sh [--tests] [--windows] [--realhost] [--all]
#   (none)      building the Linux plug-in, its editor, the LV2 bundle, the standalone
#               program and the unit tests (tools/demo.sh)
#   --tests     what the other Linux checks run with: Xvfb, xdotool, ImageMagick (editor
#               tests), clang with libFuzzer (fuzz targets), the LV2 tools, jalv and the JACK
#               server and recorder (LV2 and standalone program tests)
#   --windows   mingw-w64 cross compilers and Wine, 64- and 32-bit (from Debian's i386
#               architecture, which is added), and a deb-src entry for libpng's source
#   --realhost  Ardour and bc, for the real-host check. Optional: when they cannot be
#               installed the rest still is, one line says so and the check skips
#   --all       --tests --windows (what tools/test-all.sh needs)
#   --print     prints the packages the other options name, on one line, and installs nothing
# Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libsndfile1-dev libpng-dev zlib1g-dev sox
          libx11-dev libxext-dev libxtst-dev libfreetype-dev libfontconfig-dev libcurl4-openssl-dev
          fonts-liberation fonts-dejavu-core libjack-jackd2-dev libcairo2-dev ccache
          lv2-dev liblilv-dev libsuil-dev)
test_packages=(xvfb xauth x11-utils x11-xserver-utils xdotool imagemagick clang libclang-rt-14-dev clang-format
               lilv-utils sordi jalv jackd2 jack-capture perl)
windows_packages=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
                  libz-mingw-w64-dev wine wine64 wine32:i386 googletest dpkg-dev)
optional_packages=()

windows=0
print=0
for arg in "$@"; do
  case $arg in
    --print) print=1 ;;
    --tests) packages+=("${test_packages[@]}") ;;
    --windows) windows=1 ;;
    --realhost) optional_packages+=(ardour bc) ;;
    --all) packages+=("${test_packages[@]}"); windows=1 ;;
    *) echo "install-deps: unknown option '$arg'" >&2; exit 2 ;;
  esac
done
[[ $windows == 1 ]] && packages+=("${windows_packages[@]}")
if [[ $print == 1 ]]; then
  echo "${packages[*]}${optional_packages[*]:+ ${optional_packages[*]}}"
  exit 0
fi

sudo_cmd=()
[[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
as_root() { "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive "$@"; }

need_update=0
if [[ $windows == 1 ]]; then
  # 32-bit Wine comes from Debian's i386 architecture.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
    need_update=1
  fi
  # libpng for the Windows builds is built from Debian's source package (tools/build-win-deps.sh).
  if ! grep -Rqs -E '^(deb-src |Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        as_root tee /etc/apt/sources.list.d/tesvar-deb-src.sources >/dev/null
    else
      sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
        as_root tee /etc/apt/sources.list.d/tesvar-deb-src.list >/dev/null
    fi
    need_update=1
  fi
fi

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
missing_optional=()
for p in "${optional_packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing_optional+=("$p")
done
if [[ ${#missing[@]} -eq 0 && ${#missing_optional[@]} -eq 0 && $need_update == 0 ]]; then
  exit 0
fi

# A fresh machine's package lists are empty or old; one update serves the whole install.
as_root apt-get update -q || echo "install-deps: apt-get update reported errors; going on with the lists there are"
[[ ${#missing[@]} -eq 0 && ${#missing_optional[@]} -eq 0 ]] && exit 0

install() {
  as_root apt-get install -y -q --no-install-recommends "$@"
}
if [[ ${#missing_optional[@]} -eq 0 ]]; then
  install "${missing[@]}"
elif ! install "${missing[@]}" "${missing_optional[@]}"; then
  echo "install-deps: ${missing_optional[*]} could not be installed; installing the rest without it"
  [[ ${#missing[@]} -eq 0 ]] || install "${missing[@]}"
fi
