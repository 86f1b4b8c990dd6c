#!/usr/bin/env bash
# The main job on a freshly made simulated machine: builds the host dadazado, makes a new
# machine whose registry turns the flight recorder on, runs a post-install command line on it
# and shows the exit code and the flight recorder.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${BUILD_ROOT:-$ROOT/build}/host"
cd "$ROOT"
scripts/install-deps.sh
cmake -G Ninja -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target dadazado

MACHINE="$(mktemp -d "${TMPDIR:-/tmp}/dadazado-demo-XXXXXX")"
rmdir "$MACHINE"  # a missing directory is made into a fresh machine on the first run
export WINSIM_MACHINE="$MACHINE"
"$BUILD/app/dadazado" >/dev/null 2>&1 || true

# The machine is plain files: turn the flight recorder on by editing its registry.
printf '\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qentrel]\r\n"DadazadoDebug"="C:\\\\flight.log"\r\n' \
  >>"$MACHINE/registry.reg"
mkdir -p "$MACHINE/drive_c/Drivers/Demo"
cp "$ROOT/tools/demo/oem.inf" "$MACHINE/drive_c/Drivers/Demo/oem.inf"

set +e
"$BUILD/app/dadazado" -I 'C:\Drivers\Demo\oem.inf' -N "Demo Printer" -P LPT1:
code=$?
set -e
echo "machine:   $MACHINE"
echo "exit code: $code"
echo "---- C:\\flight.log"
cat "$MACHINE/drive_c/flight.log"
