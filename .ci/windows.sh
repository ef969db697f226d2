#!/usr/bin/env bash
# The Windows deliverables: installs the mingw-w64 cross compilers and Wine when missing,
# cross-builds libpng and GoogleTest (zlib is Debian's mingw package), builds
# build/win64/Tesvar64.dll and build/win32/Tesvar.dll with their tests, runs the tests under
# wine64 and 32-bit wine (each run in its own temporary prefix, headless), and compares
# renders of both DLLs with the Linux plug-in's.
#
# Usage: .ci/windows.sh [--install-only]
# Called by tools/test-all.sh through .ci/checks/windows.sh; needs root or sudo to install.
set -euo pipefail
cd "$(dirname "$0")/.."

start=$(date +%s)
step_start=$start
step() {
  local now
  now=$(date +%s)
  echo "== windows: $1 (previous step $((now - step_start)) s)"
  step_start=$now
}

sudo_cmd=()
[[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive

# The editor window tests run Wine on a virtual display, clicked and read by the X tools.
packages=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64 libz-mingw-w64-dev
          wine wine64 wine32:i386 googletest dpkg-dev cmake ninja-build xvfb xauth xdotool imagemagick x11-utils)

install_packages() {
  local missing=() p
  for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  if [[ ${#missing[@]} -gt 0 ]]; then
    # 32-bit Wine comes from Debian's i386 architecture.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      "${sudo_cmd[@]}" dpkg --add-architecture i386
    fi
    "${sudo_cmd[@]}" apt-get update -q
    "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"
  fi
  # libpng is built from Debian's source package, which needs a deb-src entry.
  if ! apt-cache showsrc libpng1.6 2>/dev/null | grep -q '^Version:'; then
    if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/tesvar-deb-src.sources >/dev/null
    else
      sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
        "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/tesvar-deb-src.list >/dev/null
    fi
    "${sudo_cmd[@]}" apt-get update -q
  fi
}

step "installing packages"
install_packages
[[ ${1:-} == --install-only ]] && exit 0

step "cross-building libpng and GoogleTest (tools/build-win-deps.sh)"
tools/build-win-deps.sh all

status=0
for target in "win64 x86_64 Tesvar64.dll" "win32 i686 Tesvar.dll"; do
  read -r preset arch dll <<<"$target"
  step "building $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  step "checking build/$preset/$dll"
  tools/check-win-dll.sh "build/$preset/$dll" "$arch-w64-mingw32-objdump" || status=1
  step "testing $preset under Wine"
  tools/wine-test.sh --ctest "$arch" "build/$preset" --output-on-failure || status=1
done

step "same sound on Linux, win64 and win32"
if [[ ! -x build/linux/tesvar-render-doubles || ! -f build/linux/Tesvar64.so ]]; then
  cmake --preset linux >/dev/null
  cmake --build --preset linux --target tesvar_plugin tesvar-render-doubles
fi
tools/compare-sound.sh build/linux build/win64 build/win32 || status=1

step "done"
echo "windows: everything in $(($(date +%s) - start)) s, status $status"
exit $status
