#!/usr/bin/env bash
# The main job on a freshly made simulated machine: builds the host programs, makes a new
# Windows XP machine with one printer and its driver, turns the flight recorder on, puts a
# small driver package on it, runs dadazado as the driver installation would, and shows the
# exit code and the flight recorder.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${BUILD_ROOT:-$ROOT/build}/host"
cd "$ROOT"
scripts/install-deps.sh
cmake -G Ninja -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target dadazado winsim
winsim="$BUILD/tools/winsim"

MACHINE="$(mktemp -d "${TMPDIR:-/tmp}/dadazado-demo-XXXXXX")"
"$winsim" new "$MACHINE" --os xp
"$winsim" driver add "$MACHINE" "Demo Printer 100" \
  --driver-path DEMO.DLL --data-file DEMO.PPD --config-file DEMOUI.DLL
"$winsim" printer add "$MACHINE" "Demo Printer 100" --driver "Demo Printer 100" --port LPT1:
"$winsim" reg import "$MACHINE" tools/demo/flight-recorder.reg
mkdir -p "$MACHINE/drive_c/Drivers/Demo"
cp tools/demo/oem.inf "$MACHINE/drive_c/Drivers/Demo/oem.inf"

set +e
"$winsim" exec "$MACHINE" --cd 'C:\Drivers\Demo' -- \
  "$BUILD/app/dadazado" -I 'C:\Drivers\Demo\oem.inf' -N "Demo Printer 100" -P LPT1:
code=$?
set -e
echo "machine:   $MACHINE"
echo "exit code: $code"
echo "---- C:\\flight.log"
cat "$MACHINE/drive_c/flight.log"
exit "$code"
