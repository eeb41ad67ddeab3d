#!/usr/bin/env bash
# Installs everything Brennix needs to build, run and test on Debian 12. Safe to run again:
# it only calls apt-get when something is missing.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# clang with its sanitizer and libFuzzer runtimes and llvm's symbolizer: the checked test run and the
# fuzz targets; util-linux's setpriv: tests that run the program as an ordinary user.
packages=(g++ cmake ninja-build pkg-config qt6-base-dev libpng-dev libjpeg62-turbo-dev zlib1g-dev
          libfreetype-dev libfontconfig-dev libgtest-dev libx11-dev libxtst6 xvfb xauth fontconfig python3
          python3-fontforge pgn-extract libreoffice-writer-nogui poppler-utils shared-mime-info
          desktop-file-utils openbox clang libclang-rt-14-dev llvm-14 util-linux)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

bash "$here/fonts/install-fonts.sh"
