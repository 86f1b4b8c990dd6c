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
  --driver-path DEMO.DLL --data-file DEMO.PPD --config-file DEMOUI.DLL --help-file DEMO.HLP \
  --dependent DEMO.DLL,DEMOUI.DLL
"$winsim" monitor add "$MACHINE" "Demo Port Monitor" --driver DEMOMON.DLL
"$winsim" printer add "$MACHINE" "Demo Printer 100" --driver "Demo Printer 100" --port LPT1:
"$winsim" reg import "$MACHINE" tools/demo/flight-recorder.reg
"$winsim" reg import "$MACHINE" tools/demo/machine-state.reg
package="$MACHINE/drive_c/Drivers/Demo"
system32="$MACHINE/drive_c/WINDOWS/system32"
mkdir -p "$package"
cp tools/demo/oem.inf tools/demo/package/README.TXT tools/demo/package/DEMOMON.DLL "$package/"
# The package ships the resource library in the SZDD format, as driver packages do.
cp tools/demo/package/DEMORES.DLL "$package/DEMORES.DL"
(cd "$package" && mscompress DEMORES.DL && rm DEMORES.DL)
# What an earlier version left on the machine; the package's print processor library was
# copied by the standard INF mechanism, not yet registered.
mkdir -p "$MACHINE/drive_c/WINDOWS/system32/spool/prtprocs/w32x86"
echo "print processor" >"$MACHINE/drive_c/WINDOWS/system32/spool/prtprocs/w32x86/DEMOPROC.DLL"
echo "color profile library" >"$MACHINE/drive_c/WINDOWS/system32/spool/drivers/w32x86/3/DEMOCOL.DLL"
echo "old monitor library" >"$system32/DEMOMON.DLL"
touch -d '2001-01-01' "$system32/DEMOMON.DLL"
echo "obsolete" >"$system32/DEMOOLD.DLL"
echo "obsolete, but in use" >"$system32/DEMOLOCK.DLL"

set +e
"$winsim" exec "$MACHINE" --cd 'C:\Drivers\Demo' -- \
  "$BUILD/app/dadazado" -I 'C:\Drivers\Demo\oem.inf' -N "Demo Printer 100" -P LPT1:
code=$?
set -e
echo "machine:   $MACHINE"
echo "exit code: $code"
echo "---- C:\\flight.log"
cat "$MACHINE/drive_c/flight.log"
echo "---- what the run changed"
for f in DEMORES.DLL DEMOMON.DLL DEMOMON.OLD DEMOOLD.DLL DEMOLOCK.DLL; do
  if [[ -e "$system32/$f" ]]; then echo "system32\\$f: $(head -c 60 "$system32/$f" | head -1)"
  else echo "system32\\$f: (none)"; fi
done
ls "$MACHINE/drive_c/Program Files/Demo Systems/Printer Tools" 2>/dev/null | sed 's/^/Program Files\\Demo Systems\\Printer Tools\\/'
"$winsim" show "$MACHINE" | sed -n '/^Printers:/,$p'
"$winsim" reg export "$MACHINE" 'HKEY_LOCAL_MACHINE\SOFTWARE\Demo Systems' | tail -n +2
exit "$code"
