#!/usr/bin/env bash
# Puts the demo driver package and what an earlier version left on one side's machine.
#   prepare.sh sim|wine DRIVE_C HOST_BUILD WIN64_BUILD
set -euo pipefail
side="$1" drive="$2" host="$3" win="$4"
demo="$(cd "$(dirname "$0")/../../../../tools/demo" && pwd)"
if [[ "$side" == sim ]]; then
    windows="$drive/WINDOWS" substitutes="$host/tools"
    unpack="$demo/package/UNPACK.EXE" register="$demo/sources/docs/REGISTER.EXE"
    monitor="$demo/package/DEMOMON.DLL"
else
    # Wine runs Windows programs only, and loads a monitor only when it is a real one.
    windows="$drive/windows" substitutes="$win/tools"
    unpack="$win/tests/wine/stand_in_program.exe" register="$unpack"
    monitor="$win/tests/wine/port_monitor.dll"
fi
system32="$windows/system32"
package="$drive/Drivers/Demo"
mkdir -p "$package" "$system32/spool/drivers/w32x86/3" "$system32/spool/prtprocs/w32x86"
cp "$demo/package/oem.inf" "$demo/package/README.TXT" "$demo/package/DEMOMON.DLL" "$package/"
cp "$unpack" "$package/UNPACK.EXE"
work="$(mktemp -d)"
cp "$demo/sources/docs/MANUAL.TXT" "$work/" && cp "$register" "$work/REGISTER.EXE"
(cd "$work" && zip -q -X "$package/DEMODOCS.ZIP" MANUAL.TXT REGISTER.EXE)
rm -rf "$work" && work="$(mktemp -d)"
mkdir -p "$work/Install/x86" && cp "$substitutes/Engine.dll" "$work/Install/x86/Engine.dll"
(cd "$work" && zip -q -r -X "$package/UNST.ZIP" Install)
rm -rf "$work"
cp "$substitutes/ZUVERU.dll" "$system32/ZUVERU.DLL"
printf '[windows]\r\nload=\r\n' >"$windows/WIN.INI"
cp "$demo/package/DEMORES.DL_" "$package/"
echo "print processor" >"$system32/spool/prtprocs/w32x86/DEMOPROC.DLL"
echo "color profile library" >"$system32/spool/drivers/w32x86/3/DEMOCOL.DLL"
cp "$monitor" "$system32/DEMOMON.DLL"
touch -d '2001-01-01' "$system32/DEMOMON.DLL"
echo "obsolete" >"$system32/DEMOOLD.DLL"
echo "obsolete, but in use" >"$system32/DEMOLOCK.DLL"
