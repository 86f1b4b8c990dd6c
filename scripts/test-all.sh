#!/usr/bin/env bash
# Every test on a fresh machine: installs what is missing, builds and tests the host build and
# the sanitizer build, checks formatting, cross-builds Windows and compares it under Wine with
# the simulated machine.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_ROOT="${BUILD_ROOT:-$ROOT/build}"
JOBS="$(nproc)"
cd "$ROOT"

step() { echo; echo "==== $* ($(date +%T))"; }

step "dependencies"
scripts/install-deps.sh

step "formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

for variant in host sanitize; do
  step "build and test: $variant"
  flags=()
  [[ $variant == sanitize ]] && flags=(-DDADAZADO_SANITIZE=ON)
  cmake -G Ninja -S . -B "$BUILD_ROOT/$variant" -DCMAKE_BUILD_TYPE=Debug -DDADAZADO_TESTS=ON \
    "${flags[@]}" >/dev/null
  cmake --build "$BUILD_ROOT/$variant" -j "$JOBS"
  ctest --test-dir "$BUILD_ROOT/$variant" --output-on-failure -j "$JOBS" --timeout 120
  # The fault suites print their counts; ctest keeps every test's output in its log.
  grep -hE '^(fault matrix|crash safety):' "$BUILD_ROOT/$variant/Testing/Temporary/LastTest.log"
done

step "windows cross builds"
scripts/build-windows.sh
scripts/check-imports.sh
scripts/check-exports.sh

step "wine parity suite (x86_64 build against the simulated machine)"
scripts/wine-parity.sh "$BUILD_ROOT/host" "$BUILD_ROOT/build-win64"

step "fuzzing every parser (30 s a target)"
scripts/fuzz.sh 30

step "end-to-end scenarios under valgrind"
scripts/valgrind-e2e.sh "$BUILD_ROOT/host"

step "benchmarks, short mode"
BENCH_RUNS=3 scripts/bench.sh --short

step "all passed"
