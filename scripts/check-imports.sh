#!/usr/bin/env bash
# Lists what the Windows programs import and fails on an entry point that Windows 95, 98, ME or
# NT 4.0 lacks (or has only where an optional component was installed): the program must load
# on every one of them.
#   scripts/check-imports.sh EXE...     (default: both builds of dadazado.exe)
set -uo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_root="${BUILD_ROOT:-$repo/build}"
(($#)) || set -- "$build_root/build-win64/app/dadazado.exe" "$build_root/build-win32/app/dadazado.exe"

# DLL:entry point, each with the documentation that says which systems lack it.
missing_on_old_systems=(
    # "Windows: Use Windows 95 or later. Available as a redistributable for Windows 95."
    # https://techshelps.github.io/MSDN/COM/devdoc/live/com/api1_5iyg.htm (95 only with DCOM)
    ole32.dll:CoInitializeEx
    # "Windows 95/98: Requires Windows 98."
    # https://library.thedatadungeon.com/msdn-2000-04/fileio/hh/winbase/filesio_2854.content.htm
    kernel32.dll:GetFileAttributesExA
    # "Windows NT: Requires version 5.0 or later. Windows: Requires Windows 98 or later."
    # https://techshelps.github.io/MSDN/WINBASE/devdoc/live/pdwbase/filesio_2cv9.htm
    kernel32.dll:GetLongPathNameA
    # "available on Windows 95 systems beginning with OEM Service Release 2 (OSR 2)."
    # https://techshelps.github.io/Win32/html/so31wv.htm
    kernel32.dll:GetDiskFreeSpaceExA
    # "Windows NT: Requires version 4.0 or later. Windows: Unsupported."
    # https://techshelps.github.io/MSDN/WINBASE/devdoc/live/pdwbase/filesio_4qt4.htm
    kernel32.dll:CopyFileExA
    # "Windows NT: Use version 5.0 or later. Windows: Unsupported."
    # https://techshelps.github.io/MSDN/COM/devdoc/live/com/api2_0eyb.htm
    kernel32.dll:MoveFileWithProgressA
    # "Windows NT: Requires version 5.0 or later. Windows: Unsupported."
    # https://library.thedatadungeon.com/msdn-1998-06/WinBase/devdoc/live/pdwbase/fsys_21yj.content.htm
    kernel32.dll:CreateHardLinkA
    # "Windows NT: Requires version 4.0 SP3 or later. Windows: Requires Windows 98 or later."
    # https://techshelps.github.io/MSDN/WINBASE/devdoc/live/pdwbase/synchro_20ok.htm
    kernel32.dll:InitializeCriticalSectionAndSpinCount
    # "To compile an application that uses this function, define _WIN32_WINNT as 0x0501"
    # https://github.com/MicrosoftDocs/sdk-api (libloaderapi/nf-libloaderapi-getmodulehandleexa.md)
    kernel32.dll:GetModuleHandleExA
    # the same remark: sdk-api sysinfoapi/nf-sysinfoapi-getnativesysteminfo.md
    kernel32.dll:GetNativeSystemInfo
    # "Minimum supported client | Windows XP"
    # http://msdn.microsoft.com/en-us/library/ms681952(VS.85).aspx
    kernel32.dll:AttachConsole
    # "Minimum supported client | Windows Vista, Windows XP with SP1"
    # https://learn.microsoft.com/en-us/windows/win32/api/processthreadsapi/nf-processthreadsapi-getprocessid
    kernel32.dll:GetProcessId
    # "To use SHGetFolderPath on Windows 95 or Windows 98, you must redistribute the
    # SHFolder.dll file" http://support.microsoft.com/kb/241733
    shell32.dll:SHGetFolderPathA
    # "SHGetSpecialFolderPath will only work on Windows 95 if Internet Explorer 4.0 is installed
    # with the desktop update." http://support.microsoft.com/kb/241733
    shell32.dll:SHGetSpecialFolderPathA
    # "Windows Vista, Windows XP Professional x64 Edition" (sdk-api winreg/nf-winreg-reggetvaluea.md)
    advapi32.dll:RegGetValueA
    # the same (sdk-api winreg/nf-winreg-regdeletekeyexa.md)
    advapi32.dll:RegDeleteKeyExA
    # "Windows NT/2000: Requires Windows 2000."
    # https://library.thedatadungeon.com/msdn-2000-04/accctrl/hh/winbase/accctrl_8sz6.content.htm
    advapi32.dll:ConvertStringSecurityDescriptorToSecurityDescriptorA
    # "Minimum supported client | Windows 2000 Professional"
    # http://msdn.microsoft.com/en-us/library/aa376399(VS.85).aspx
    advapi32.dll:ConvertSidToStringSidA
    # The security functions exist on the NT family only. "Certain functions and classes of
    # functions, such as for security and event logging, are not supported by Windows 95.
    # Windows 95 provides stub routines for these unsupported functions"
    # https://library.thedatadungeon.com/msdn-1998-06/WinBase/devdoc/live/pdwbase/win95/chilimit_1qlv.content.htm
    # and the function's own page names NT only: "Windows NT/2000: Requires Windows NT 3.1 or
    # later." (no line for Windows 95/98)
    # https://library.thedatadungeon.com/msdn-2000-04/accctrl/hh/winbase/acctrlow_0x6h.content.htm
    # Which stubs a given 9x ADVAPI32 exports is documented nowhere, so the program looks these
    # up when it calls them (platform/win32/system_entry.h) and must not import them.
    advapi32.dll:RegGetKeySecurity
    advapi32.dll:RegSetKeySecurity
    advapi32.dll:CreateProcessAsUserA
)

# "dll:entry" a line, in lower case for the DLL, from objdump's import tables.
imports_of() {
    x86_64-w64-mingw32-objdump -p "$1" | awk '
        /DLL Name:/ { dll = tolower($3); next }
        /^[[:space:]]*[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[A-Za-z_]/ && dll != "" { print dll ":" $3 }
        /^$/ { if (dll != "" && seen) dll = ""; seen = 0 }
        /Hint\/Ord/ { seen = 1 }'
}

status=0
for exe in "$@"; do
    [[ -f "$exe" ]] || { echo "check-imports: missing $exe" >&2; status=1; continue; }
    mapfile -t imports < <(imports_of "$exe" | sort -u)
    if ((${#imports[@]} == 0)); then
        echo "check-imports: no imports read from $exe" >&2
        status=1
        continue
    fi
    bad=0
    for entry in "${missing_on_old_systems[@]}"; do
        dll="${entry%%:*}" name="${entry#*:}"
        if printf '%s\n' "${imports[@]}" | grep -qx "$dll:$name"; then
            echo "check-imports: $exe imports $name from $dll, which Windows 95, 98, ME or NT 4.0 lacks"
            bad=1
        fi
    done
    echo "check-imports: $exe: ${#imports[@]} entry points from $(printf '%s\n' "${imports[@]}" |
        cut -d: -f1 | sort -u | paste -sd, -)$( ((bad)) && echo "; FAILED" || echo "; none missing on 95/98/ME/NT 4.0")"
    ((bad)) && status=1
done
exit $status
