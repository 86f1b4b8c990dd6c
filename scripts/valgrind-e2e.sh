#!/usr/bin/env bash
# Runs the end-to-end scenarios and the fault matrix with every host dadazado under valgrind
# (memcheck, full leak check): a definite or indirect leak or an invalid access fails the run.
# Prints the count of dadazado runs checked and of runs with errors.
#   scripts/valgrind-e2e.sh [BUILD_DIR]     (default: build/valgrind, a Debug host build)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-${BUILD_ROOT:-$ROOT/build}/valgrind}"
command -v valgrind >/dev/null || { echo "valgrind is not installed (Debian: valgrind)"; exit 2; }
cmake -G Ninja -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$BUILD" --target e2e_tests fault_suite_tests dadazado winsim >/dev/null

logs="$(mktemp -d)"
trap 'rm -rf "$logs"' EXIT
export DADAZADO_TEST_WRAPPER="$(command -v valgrind) --quiet --error-exitcode=99 \
--leak-check=full --errors-for-leak-kinds=definite,indirect --log-file=$logs/run.%p.log"
status=0
"$BUILD/tests/e2e_tests" --gtest_brief=1 || status=1
"$BUILD/tests/faults/fault_suite_tests" --gtest_brief=1 --gtest_filter='FaultMatrix*:*FaultMatrix*' ||
  status=1

runs=$(find "$logs" -name 'run.*.log' | wc -l)
failing=0
for log in "$logs"/run.*.log; do
  [[ -s "$log" ]] || continue
  failing=$((failing + 1))
  echo "---- $log"
  cat "$log"
done
echo "valgrind: $runs dadazado runs checked, $failing with errors"
[[ $failing -eq 0 && $runs -gt 0 && $status -eq 0 ]]
