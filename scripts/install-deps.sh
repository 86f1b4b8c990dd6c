#!/usr/bin/env bash
# Installs from Debian packages what the builds and tests need (no argument), or only what the
# demo needs (demo: the host programs and the tools its script uses). Quick when all is there.
#   scripts/install-deps.sh [demo]
set -euo pipefail

# The host build of the utility, winsim and the substitute libraries, and the demo's script.
demo_packages=(
  cmake ninja-build g++ pkg-config
  libmspack-dev zlib1g-dev libminizip-dev nlohmann-json3-dev
  zip liblnk-utils
)
packages=("${demo_packages[@]}")
if [[ "${1:-}" != demo ]]; then
  packages+=(
    clang-format libgtest-dev libgmock-dev
    mscompress unzip
    g++-mingw-w64-x86-64 g++-mingw-w64-i686
    libz-mingw-w64-dev dpkg-dev
    # 64-bit Wine only. wine32:i386 is never installed here: where the kernel cannot run
    # 32-bit programs it cannot start, and the opt-in 32-bit parity run brings its own
    # (scripts/wine32-env.sh).
    wine wine64
    clang libclang-rt-dev valgrind time libbenchmark-dev linux-perf
  )
fi

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
