#!/usr/bin/env bash
# The demo driver package, which uses every command kind, run on a fresh machine of the given
# Windows version; checks the exit code and what the run left on the machine.
#   tests/e2e/demo_package_test.sh BUILD_DIR OS
set -euo pipefail
build="$1" os="$2"
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
"$(dirname "$0")/../../tools/demo/run-demo.sh" "$build" "$os" >"$out" 2>&1 || {
  cat "$out"
  echo "FAIL: the demo run failed"
  exit 1
}
machine="$(sed -n 's/^machine: *//p' "$out" | head -1)"
failures=0
expect() {  # description, then a command that must succeed
  local what="$1"
  shift
  if "$@" >/dev/null 2>&1; then echo "ok:   $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
log="$machine/drive_c/flight.log"
journal="$machine/journal.log"
case "$os" in
  95 | 98 | 98se | me) system="$machine/drive_c/WINDOWS/SYSTEM" ;;
  *) system="$machine/drive_c/WINDOWS/system32" ;;
esac
tools="$machine/drive_c/Program Files/Demo Systems/Printer Tools"

expect "exit code 0" grep -qx "exit code: 0" "$out"
expect "the compressed file was expanded" grep -q "Stands in for the resource library" "$system/DEMORES.DLL"
expect "the documentation archive was unpacked" test -f "$tools/Docs/MANUAL.TXT"
expect "the unpacker ran in the package directory" test -f "$machine/drive_c/Drivers/Demo/UNPACKED.TXT"
expect "the registration tool ran" grep -q "CreateProcess .*REGISTER.EXE.* exit 0" "$journal"
expect "the obsolete file is gone" test ! -e "$system/DEMOOLD.DLL"
expect "the INI file got its key" grep -q "^Tools=C:.Program Files.Demo Systems.Printer Tools" "$machine/drive_c/WINDOWS/WIN.INI"
expect "a shortcut was made" bash -c "find '$machine/drive_c' -iname 'Printer Tools Readme.LNK' | grep -q ."
expect "the shortcut points at the readme" bash -c "lnkinfo \"\$(find '$machine/drive_c' -iname '*.lnk' | head -1)\" | grep -q 'README.TXT'"
expect "the registry value was written" grep -q '"Installed"=dword:00000001' "$machine/registry.reg"
expect "the DelReg value is gone" bash -c "! grep -q '\"FirstRun\"' '$machine/registry.reg'"
expect "the printer got its data" grep -q '"Resolution"=dword:00000258' "$machine/registry.reg"
expect "the driver names the monitor" grep -q '"Monitor"="Demo Port Monitor"' "$machine/registry.reg"
expect "the print processor was registered" grep -q 'Print Processors\\DemoProc\]' "$machine/registry.reg"
expect "the install engine got the script" grep -q 'Engine.dll DoInstallA(.*script: \[Install\]|Uninstaller=1' "$journal"
expect "the engine's directory was removed" bash -c "! find '$machine/drive_c' -iname '*_Extracted' | grep -q ."
expect "the logging library got the uninstaller files" grep -q 'ZUVERU.DLL AddAnyItem("Uninstaller", "C:\\Program Files\\Demo Systems\\Printer Tools\\README.TXT", 1, "Demo Printer 100")' "$journal"
expect "the driver name went to the logging library once" test "$(grep -c 'AddDriverNameEx("Demo Printer 100"' "$journal")" = 1
case "$os" in
  95 | 98 | 98se | me)
    expect "the locked file is deleted at restart through WININIT.INI" grep -q "^NUL=C:.WINDOWS.SYSTEM.DEMOLOCK.DLL" "$machine/drive_c/WINDOWS/WININIT.INI" ;;
  *)
    expect "the new monitor library replaced the one in use" grep -q "new version" "$system/DEMOMON.DLL"
    expect "the locked file is deleted at restart" grep -q "delete .*DEMOLOCK.DLL" "$out"
    expect "the driver's new dependent file was registered" grep -q "Dependent File: .*DEMOCOL.DLL" "$out" ;;
esac
expect "the flight recorder reached the uninstaller" grep -q "DadazadoEngine::flushLogOps: logging operations..." "$log"

rm -rf "$machine"
echo "$failures failure(s)"
[[ $failures -eq 0 ]]
