#!/usr/bin/env bash
# The main job on a freshly made simulated machine: builds the host programs, makes a new
# Windows machine (XP, or the version DEMO_OS names: 98se, 2000, ...) with one printer and its
# driver, turns the flight recorder on, puts a driver package that uses every command kind on
# it, runs dadazado as the driver installation would, and shows the exit code, the flight
# recorder and what the run changed on the machine.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${BUILD_ROOT:-$ROOT/build}/demo"
cd "$ROOT"
scripts/install-deps.sh demo
# The demo needs no test suite (nor its tools and cross compilers).
cmake -G Ninja -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DDADAZADO_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target dadazado winsim logging_substitute \
  install_engine_substitute
exec tools/demo/run-demo.sh "$BUILD" "${DEMO_OS:-xp}"
