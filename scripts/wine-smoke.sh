#!/usr/bin/env bash
# Runs the Windows build once under Wine in a throw-away prefix and checks that it starts,
# reads its debug setting from the registry, keeps a flight recorder, and refuses a command
# line without a printer name and with an INF that does not exist.
#   scripts/wine-smoke.sh <path-to-dadazado.exe>
set -euo pipefail

die() {
    echo "wine-smoke: FAIL: $*" >&2
    exit 1
}

# The machine field of the PE header: 0x14c is a 32-bit x86 program.
is_32_bit_program() {
    local pe_offset machine
    pe_offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    machine=$(od -An -tx2 -j$((pe_offset + 4)) -N2 "$1" | tr -d ' ')
    [[ "$machine" == "014c" ]]
}

[[ $# -eq 1 ]] || die "usage: $0 <path-to-dadazado.exe>"
exe="$(readlink -f "$1" 2>/dev/null || true)"
[[ -n "$exe" && -f "$exe" ]] || die "no such program: $1"
for tool in wine wineboot wineserver; do
    command -v "$tool" >/dev/null || die "$tool is not installed"
done

started=$SECONDS
prefix="$(mktemp -d "${TMPDIR:-/tmp}/dadazado-wine.XXXXXX")"
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"

cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
}
trap cleanup EXIT

echo "wine-smoke: $(wine --version 2>/dev/null) prefix $prefix"
wineboot -i >"$prefix/wineboot.out" 2>&1 || {
    cat "$prefix/wineboot.out" >&2
    die "wineboot -i failed"
}
wineserver -w

# A 32-bit program sees the 32-bit registry view, so the setting goes into both views.
for view in 64 32; do
    wine reg add 'HKLM\SOFTWARE\Qentrel' /v DadazadoDebug /t REG_SZ /d 'C:\flight.log' /f \
        "/reg:$view" >"$prefix/reg.out" 2>&1 || {
        cat "$prefix/reg.out" >&2
        die "could not write the debug setting into the $view-bit registry"
    }
done
wineserver -w

# The program runs from a directory of its own, so no stray x.inf can be found beside it.
mkdir -p "$prefix/drive_c/smoke"
cp "$exe" "$prefix/drive_c/smoke/dadazado.exe"
cd "$prefix/drive_c/smoke"
set +e
wine "$prefix/drive_c/smoke/dadazado.exe" -S -N Printer -I x.inf >"$prefix/run.out" 2>&1
status=$?
set -e
wineserver -w

# Debian's wine prints this on every start when a 32-bit program has no 32-bit Wine to run
# in; the program then does nothing and Wine still reports success.
if is_32_bit_program "$exe" && grep -q "wine32 is missing" "$prefix/run.out"; then
    die "$exe is a 32-bit program and this Wine cannot run it (install wine32:i386)"
fi

log="$prefix/drive_c/flight.log"
if [[ $status -ne 1 ]]; then
    cat "$prefix/run.out" >&2
    [[ -f "$log" ]] && cat "$log" >&2
    die "exit code $status, expected 1"
fi
[[ -f "$log" ]] || die "no flight recorder at C:\\flight.log"

missing=0
for expected in \
    "---- Post install utility Flight Recorder ----" \
    "Command line: -S -N Printer -I x.inf" \
    "parseCommandLine: could not load INF: x.inf" \
    "parseCommandLine: no printer name specified."; do
    # Whole lines only: a log line is the text and its carriage return.
    if ! tr -d '\r' <"$log" | grep -qxF -- "$expected"; then
        echo "wine-smoke: missing log line: $expected" >&2
        missing=1
    fi
done
if [[ $missing -ne 0 ]]; then
    echo "---- flight.log ----" >&2
    cat "$log" >&2
    die "the flight recorder lacks expected lines"
fi

echo "wine-smoke: PASS ($exe, exit code $status, $((SECONDS - started)) s)"
