#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, when some are missing.
set -euo pipefail

packages=(cmake ninja-build g++ clang clang-format libclang-rt-14-dev googletest libgtest-dev
          libgmock-dev
          g++-mingw-w64-x86-64-posix wine64 wine fonts-wine xvfb xauth fonts-wqy-microhei
          imagemagick zip python3)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
# With recommends: Wine then has its own fonts and the X extensions it draws with.
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
