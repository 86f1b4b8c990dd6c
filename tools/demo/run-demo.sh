#!/usr/bin/env bash
# Makes a fresh simulated machine of the given Windows version with one printer and its
# driver, puts the demo driver package on it, runs dadazado as the driver installation would,
# and prints the exit code, the flight recorder and what the run changed. The machine stays
# for inspection; its directory is the first line of the output.
#   tools/demo/run-demo.sh BUILD_DIR [OS]      (OS: xp by default, or 98se, 2000, ...)
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD="$1"
DEMO_OS="${2:-xp}"
winsim="$BUILD/tools/winsim"

MACHINE="$(mktemp -d "${TMPDIR:-/tmp}/dadazado-demo-XXXXXX")"
echo "machine:   $MACHINE"
"$winsim" new "$MACHINE" --os "$DEMO_OS" >/dev/null
case "$DEMO_OS" in
  95 | 98 | 98se | me)
    windows_dir=WINDOWS/SYSTEM driver_dir=WINDOWS/SYSTEM processor_dir=WINDOWS/SYSTEM ;;
  *)
    windows_dir=WINDOWS/system32 driver_dir=WINDOWS/system32/spool/drivers/w32x86/3
    processor_dir=WINDOWS/system32/spool/prtprocs/w32x86 ;;
esac
system32="$MACHINE/drive_c/$windows_dir"
"$winsim" driver add "$MACHINE" "Demo Printer 100" \
  --driver-path DEMO.DLL --data-file DEMO.PPD --config-file DEMOUI.DLL --help-file DEMO.HLP \
  --dependent DEMO.DLL,DEMOUI.DLL
"$winsim" monitor add "$MACHINE" "Demo Port Monitor" --driver DEMOMON.DLL
"$winsim" printer add "$MACHINE" "Demo Printer 100" --driver "Demo Printer 100" --port LPT1:
"$winsim" reg import "$MACHINE" tools/demo/flight-recorder.reg
# Machine data: files that running programs hold open, and a value the previous version wrote.
reg_system="C:\\\\${windows_dir//\//\\\\}"
cat >"$MACHINE/state.reg" <<EOF
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\SOFTWARE\\WinSim\\FilesInUse]
"${reg_system}\\\\DEMOMON.DLL"=dword:00000020
"${reg_system}\\\\DEMOLOCK.DLL"=dword:00000020

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Demo Systems\\Printer 100]
"FirstRun"=dword:00000001
EOF
"$winsim" reg import "$MACHINE" "$MACHINE/state.reg"
rm "$MACHINE/state.reg"
package="$MACHINE/drive_c/Drivers/Demo"
mkdir -p "$package"
cp -p tools/demo/package/* "$package/"
# The uninstaller archive, with the substitute install engine in place of the stand-in.
rm "$package/UNST.ZIP"
work="$(mktemp -d)"
mkdir -p "$work/Install/x86"
cp "$BUILD/tools/Engine.dll" "$work/Install/x86/Engine.dll"
(cd "$work" && zip -q -r -X "$package/UNST.ZIP" Install)
rm -rf "$work"
# The logging library that records what was installed.
cp "$BUILD/tools/ZUVERU.dll" "$system32/ZUVERU.DLL"
printf '[windows]\r\nload=\r\n' >"$MACHINE/drive_c/WINDOWS/WIN.INI"
# What an earlier version left on the machine; the package's print processor library was
# copied by the standard INF mechanism, not yet registered.
mkdir -p "$MACHINE/drive_c/$processor_dir"
echo "print processor" >"$MACHINE/drive_c/$processor_dir/DEMOPROC.DLL"
echo "color profile library" >"$MACHINE/drive_c/$driver_dir/DEMOCOL.DLL"
echo "old monitor library" >"$system32/DEMOMON.DLL"
touch -d '2001-01-01' "$system32/DEMOMON.DLL"
echo "obsolete" >"$system32/DEMOOLD.DLL"
echo "obsolete, but in use" >"$system32/DEMOLOCK.DLL"

set +e
"$winsim" exec "$MACHINE" --cd 'C:\Drivers\Demo' -- \
  "$BUILD/app/dadazado" -I 'C:\Drivers\Demo\oem.inf' -N "Demo Printer 100" -P LPT1:
code=$?
set -e
echo "exit code: $code"
echo "---- C:\\flight.log"
cat "$MACHINE/drive_c/flight.log"
echo "---- what the run changed"
echo "WIN.INI:"; sed 's/^/  /' "$MACHINE/drive_c/WINDOWS/WIN.INI"
echo "files:"
(cd "$MACHINE/drive_c" && { find "Program Files/Demo Systems" -type f; find . -iname "*.lnk"; }) |
  sed 's|^\./||; s|/|\\|g; s|^|  C:\\|'
link="$(find "$MACHINE/drive_c" -iname "*.lnk" | head -1)"
[[ -n "$link" ]] && { echo "shortcut, as lnkinfo reads it:"; lnkinfo "$link" | grep -iE "local path|arguments|working" | sed 's/^\s*/  /'; }
echo "journal:"; sed 's/^/  /' "$MACHINE/journal.log"
for f in DEMORES.DLL DEMOMON.DLL DEMOMON.OLD DEMOOLD.DLL DEMOLOCK.DLL; do
  if [[ -e "$system32/$f" ]]; then echo "${windows_dir//\//\\}\\$f: $(head -c 60 "$system32/$f" | head -1)"
  else echo "${windows_dir//\//\\}\\$f: (none)"; fi
done
"$winsim" show "$MACHINE" | sed -n '/^Printers:/,$p'
"$winsim" reg export "$MACHINE" 'HKEY_LOCAL_MACHINE\SOFTWARE\Demo Systems' | tail -n +2
exit "$code"
