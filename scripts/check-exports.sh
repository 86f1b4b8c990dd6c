#!/usr/bin/env bash
# Lists what every library of a Windows build exports and fails on a decorated name ("Name@8",
# "@Name@8", "_Name"): Windows looks entries up by their plain names, so a 32-bit __stdcall
# entry exported as the compiler decorates it is never found (GetProcAddress, and the spooler
# with AddMonitor, answer 127). The libraries whose callers are known must also export those
# callers' entries, and nothing more (a library that exports every symbol it holds offers its
# runtime's internals to whoever loads it).
#   scripts/check-exports.sh [BUILD_DIR...]     (default: the i686 and the x86_64 build)
set -uo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_root="${BUILD_ROOT:-$repo/build}"
(($#)) || set -- "$build_root/build-win32" "$build_root/build-win64"

# library file name (lower case): the entries its caller looks up.
declare -A expected=(
    [zuveru.dll]="AddAnyItem AddDriverNameEx"
    [engine.dll]="SetWorkingDirA SetLanguageA DoInstallA GetErrorCode"
    [port_monitor.dll]="InitializePrintMonitor2"
)

# The names of a library's export table, one a line.
exports_of() {
    x86_64-w64-mingw32-objdump -p "$1" | awk '
        /^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
        table && /^[[:space:]]*\[ *[0-9]+\]/ { print $NF; next }
        table && /^$/ { table = 0 }'
}

status=0
for dir in "$@"; do
    mapfile -t libraries < <(find "$dir" -iname '*.dll' -not -path '*/CMakeFiles/*' 2>/dev/null | sort)
    if ((${#libraries[@]} == 0)); then
        echo "check-exports: no libraries found in $dir (build it with scripts/build-windows.sh)" >&2
        status=1
        continue
    fi
    for library in "${libraries[@]}"; do
        mapfile -t names < <(exports_of "$library")
        bad=0
        if ((${#names[@]} == 0)); then
            echo "check-exports: $library exports nothing"
            bad=1
        fi
        for name in "${names[@]}"; do
            if [[ "$name" == *@* || "$name" == _[A-Z]* ]]; then
                echo "check-exports: $library exports the decorated name $name"
                bad=1
            fi
        done
        base="$(basename "$library")"
        if [[ -n "${expected[${base,,}]:-}" ]]; then
            want="$(tr ' ' '\n' <<<"${expected[${base,,}]}" | sort)"
            while read -r entry; do
                echo "check-exports: $library lacks the entry $entry"
                bad=1
            done < <(comm -23 <(echo "$want") <(printf '%s\n' "${names[@]}" | sort))
            extra="$(comm -13 <(echo "$want") <(printf '%s\n' "${names[@]}" | sort) | wc -l)"
            ((extra)) && { echo "check-exports: $library exports $extra names its callers never look up"; bad=1; }
        fi
        echo "check-exports: $library: ${names[*]:-nothing}$( ((bad)) && echo "; FAILED")"
        ((bad)) && status=1
    done
done
exit $status
