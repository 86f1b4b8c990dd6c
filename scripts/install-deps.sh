#!/usr/bin/env bash
# Installs everything the builds and tests need from Debian packages. Quick when all is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format
  libgtest-dev libgmock-dev
  libmspack-dev mscompress liblnk-utils
  zlib1g-dev libminizip-dev zip unzip
  g++-mingw-w64-x86-64 g++-mingw-w64-i686
  libz-mingw-w64-dev dpkg-dev
  wine wine64
  clang libclang-rt-dev valgrind time libbenchmark-dev linux-perf
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
