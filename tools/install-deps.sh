#!/usr/bin/env bash
# Installs what building and testing Tesvar needs on a Debian 12 machine.
# Usage: tools/install-deps.sh [--windows] [--realhost]
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libsndfile1-dev libpng-dev zlib1g-dev sox libfreetype-dev libfontconfig-dev fonts-liberation
          fonts-dejavu-core libx11-dev libxtst-dev libcurl4-openssl-dev xvfb xauth xdotool imagemagick x11-utils)
windows=0
realhost=0
for arg in "$@"; do
  case "$arg" in
    --windows) windows=1 ;;
    --realhost) realhost=1 ;;
  esac
done

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ "$realhost" = 1 ]; then
  dpkg -s ardour >/dev/null 2>&1 || missing+=(ardour)
fi
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
if [ "$windows" = 1 ] && [ -x .ci/windows-deps.sh ]; then
  .ci/windows-deps.sh
fi
