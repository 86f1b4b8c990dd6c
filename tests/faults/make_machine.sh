#!/usr/bin/env bash
# Makes the machine the fault matrix starts every row from: an XP machine with one printer and
# its driver, the flight recorder on, files held by running programs, what an earlier version
# left behind, a driver package that uses every command kind in C:\Drivers\Demo, and in
# C:\Drivers\More a second one with the command lines the first does not have.
#   tests/faults/make_machine.sh BUILD_DIR MACHINE_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# The demo package's files; only its INF is the matrix's own.
demo="$(cd "$here/../../tools/demo/package" && pwd)"
demo_sources="$(cd "$here/../../tools/demo/sources" && pwd)"
build="$1" machine="$2"
winsim="$build/tools/winsim"

"$winsim" new "$machine" --os xp >/dev/null
system32="$machine/drive_c/WINDOWS/system32"
"$winsim" driver add "$machine" "Demo Printer 100" \
  --driver-path DEMO.DLL --data-file DEMO.PPD --config-file DEMOUI.DLL --help-file DEMO.HLP \
  --dependent DEMO.DLL,DEMOUI.DLL >/dev/null
"$winsim" monitor add "$machine" "Demo Port Monitor" --driver DEMOMON.DLL >/dev/null
"$winsim" printer add "$machine" "Demo Printer 100" --driver "Demo Printer 100" \
  --port LPT1: >/dev/null
cat >"$machine/state.reg" <<'EOF'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\SOFTWARE\Qentrel]
"DadazadoDebug"="C:\\flight.log"

[HKEY_LOCAL_MACHINE\SOFTWARE\WinSim\FilesInUse]
"C:\\WINDOWS\\system32\\DEMOMON.DLL"=dword:00000020
"C:\\WINDOWS\\system32\\DEMOLOCK.DLL"=dword:00000020

[HKEY_LOCAL_MACHINE\SOFTWARE\Demo Systems\Printer 100]
"FirstRun"=dword:00000001
"Tools"="C:\\Old Tools"
"Kept"="kept by the second package"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print\Printers\Demo Printer 100\PrinterDriverData]
"Model"="Demo Printer 100 (set by the user)"
EOF
"$winsim" reg import "$machine" "$machine/state.reg" >/dev/null
rm "$machine/state.reg"

package="$machine/drive_c/Drivers/Demo"
mkdir -p "$package"
cp "$here/package/oem.inf" "$demo/README.TXT" "$demo/DEMOMON.DLL" "$demo/UNPACK.EXE" "$package/"
(cd "$demo_sources/docs" && zip -q -X "$package/DEMODOCS.ZIP" MANUAL.TXT REGISTER.EXE)
work="$(mktemp -d)"
mkdir -p "$work/Install/x86"
cp "$build/tools/Engine.dll" "$work/Install/x86/Engine.dll"
(cd "$work" && zip -q -r -X "$package/UNST.ZIP" Install)
rm -rf "$work"
cp "$build/tools/ZUVERU.dll" "$system32/ZUVERU.DLL"
printf '[windows]\r\nload=\r\n\r\n[Demo Printer 100]\r\nOldSetting=1\r\n' \
  >"$machine/drive_c/WINDOWS/WIN.INI"
cp "$demo_sources/DEMORES.DLL" "$package/DEMORES.DL"
(cd "$package" && mscompress DEMORES.DL && rm DEMORES.DL)

processors="$system32/spool/prtprocs/w32x86"
drivers="$system32/spool/drivers/w32x86/3"
mkdir -p "$processors" "$drivers"
echo "print processor" >"$processors/DEMOPROC.DLL"
echo "color profile library" >"$drivers/DEMOCOL.DLL"
echo "old monitor library" >"$system32/DEMOMON.DLL"
touch -d '2001-01-01' "$system32/DEMOMON.DLL"
echo "old resource library" >"$system32/DEMORES.DLL"
echo "obsolete" >"$system32/DEMOOLD.DLL"
echo "obsolete, but in use" >"$system32/DEMOLOCK.DLL"

more="$machine/drive_c/Drivers/More"
mkdir -p "$more"
cp "$here/more/oem.inf" "$here/more/MOREVER.DLL" "$here/more/MOREPROC.DLL" \
  "$here/more/SETUP.BAT" "$more/"
touch -d '2001-01-01' "$more/MOREVER.DLL"
cp "$here/more/OLDVER.DLL" "$system32/MOREVER.DLL"
echo "obsolete and read-only" >"$system32/MOREREAD.DLL"
chmod a-w "$system32/MOREREAD.DLL"
