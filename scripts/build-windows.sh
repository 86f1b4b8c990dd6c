#!/usr/bin/env bash
# Cross-builds dadazado.exe for Windows with MinGW-w64.
#   scripts/build-windows.sh [x86_64|i686|win64|win32]   (no argument: both)
# Build trees go to $BUILD_ROOT/build-win64 and $BUILD_ROOT/build-win32
# (BUILD_ROOT defaults to <repo>/build).
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_root="${BUILD_ROOT:-$repo/build}"

die() {
    echo "build-windows: $*" >&2
    exit 1
}


build_one() {
    local arch="$1" dir="$2"
    local build_dir="$build_root/$dir"
    echo "== dadazado for $arch in $build_dir"
    cmake -S "$repo" -B "$build_dir" \
        -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DDADAZADO_TESTS=OFF \
        -DDADAZADO_MINIZIP_SOURCE="$minizip_source" ||
        die "configuring for $arch failed"
    cmake --build "$build_dir" --parallel "$(nproc)" || die "building for $arch failed"
    local exe="$build_dir/app/dadazado.exe"
    [[ -f "$exe" ]] || die "no $exe after the build"
    echo "== built $exe"
}

[[ $# -le 1 ]] || die "usage: $0 [x86_64|i686]"
command -v cmake >/dev/null || die "cmake is not installed"

# Both architectures compile the same minizip source; fetch it once.
minizip_source="$build_root/minizip-source"
"$repo/scripts/fetch-minizip-source.sh" "$minizip_source" || die "no minizip source"

if [[ $# -eq 1 ]]; then
    archs=("$1")
else
    archs=(x86_64 i686)
fi
for arch in "${archs[@]}"; do
    case "$arch" in
        x86_64 | win64) build_one x86_64 build-win64 ;;
        i686 | win32) build_one i686 build-win32 ;;
        *) die "unknown architecture '$arch' (expected x86_64 or i686)" ;;
    esac
done
