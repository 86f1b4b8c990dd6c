#!/usr/bin/env bash
# Runs every scenario of tests/wine/scenarios twice, on a simulated machine with the host
# build and under Wine with the x86_64 Windows build, and compares the two runs: exit code,
# flight recorder (times and dates normalised), the machine before the run and what the run
# changed on it (spooler records, printer data, monitors, registry values, files), and the
# shortcut files it made. A scenario's file "allowed" lists the differences it accepts, one
# "NAME: REGEX" a line; every difference must match one, and every allowance must be used.
#   scripts/wine-parity.sh HOST_BUILD WIN64_BUILD
# Prints one verdict a scenario and, last, "N passed, N failed". Each side's run of the
# program is timed (wall time, start-up included) into WORK/SCENARIO/{sim,wine}/microseconds.
# Scenarios run WINE_PARITY_JOBS at a time (default: the number of processors), each with its
# own Wine prefix and server; the verdicts are printed in the scenarios' order.
set -uo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
die() { echo "wine-parity: $*" >&2; exit 2; }
[[ $# -eq 2 ]] || die "usage: $0 HOST_BUILD WIN64_BUILD"
host="$(readlink -f "$1")" win="$(readlink -f "$2")"
winsim="$host/tools/winsim"
exe="$win/app/dadazado.exe"
winprogs="$win/tests/wine"
for f in "$winsim" "$host/app/dadazado" "$exe" "$winprogs/machine_setup.exe" \
    "$winprogs/machine_dump.exe" "$winprogs/file_holder.exe"; do
    [[ -f "$f" ]] || die "missing $f (build the host and the x86_64 Windows targets)"
done
command -v wine >/dev/null || die "wine is not installed"
command -v lnkinfo >/dev/null || die "lnkinfo is not installed (liblnk-utils)"

work="$host/wine-parity"
rm -rf "$work" && mkdir -p "$work"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
started=$SECONDS
failures=()

# --- the program itself: a GUI program of system DLLs only, that makes no window
check_program() {
    local dump bad=0
    dump="$(x86_64-w64-mingw32-objdump -p "$exe")"
    grep -q "Subsystem.*(Windows GUI)" <<<"$dump" || { echo "program: not a GUI program"; bad=1; }
    local dll
    while read -r dll; do
        case "${dll,,}" in
            advapi32.dll | kernel32.dll | lz32.dll | msvcrt.dll | ole32.dll | shell32.dll | \
                user32.dll | version.dll | winspool.drv) ;;
            *) echo "program: imports $dll, which is no system library"; bad=1 ;;
        esac
    done < <(awk '/DLL Name:/ {print $3}' <<<"$dump")
    if grep -qE "\b(CreateWindow|CreateDialog|DialogBox|MessageBox)[A-Za-z]*\b" <<<"$dump"; then
        echo "program: imports a window-creation call"; bad=1
    fi
    return $bad
}

# --- Wine: one booted prefix, copied for each scenario
pristine="$work/pristine"
boot_prefix() {
    WINEPREFIX="$pristine" wineboot -i >"$work/wineboot.out" 2>&1 || return 1
    WINEPREFIX="$pristine" wineserver -w
}

windows_version_name() {
    case "$1" in
        xp) echo winxp64 ;; 2003) echo win2003 ;; vista) echo vista ;; *) return 1 ;;
    esac
}

# Words of a setup line, as the shell splits them.
setup_words() { eval "words=($1)"; }

# The Windows directory is C:\WINDOWS on the simulated machine and C:\windows under Wine, and
# temporary names carry a number the system picks (from a counter here, from the clock there).
unify_windows_directory() {
    sed -E 's/C:\\WINDOWS/C:\\windows/Ig; s/\\tmp[0-9a-f]{1,4}\.tmp/\\tmp<n>.tmp/Ig'
}

normalise_log() {
    tr -d '\r' <"$1" | sed -E \
        -e '2s/^[A-Z][a-z]{2} [A-Z][a-z]{2} +[0-9]+ [0-9:]{8} [0-9]{4}$/<date>/' \
        -e 's/\(Elapsed time: [0-9.]+ seconds\.\)/(Elapsed time: <t>)/' | unify_windows_directory
}

# Shortcuts below drive_c: where each is and what it points to.
shortcut_lines() {
    local drive="$1" link
    while IFS= read -r link; do
        echo "lnk|$(echo "${link#"$drive"/}" | tr 'A-Z' 'a-z')"
        lnkinfo "$link" 2>/dev/null | grep -E "Local path|Command line arguments|Working directory" |
            sed -E 's/^\s+//; s/\s*:\s*/: /' | tr 'A-Z' 'a-z' | sed 's/^/lnk|  /'
    done < <(find "$drive" -iname '*.lnk' | sort)
}

run_sim() {
    local dir="$1" out="$2" m="$2/machine"
    "$winsim" new "$m" --os "$OS" >/dev/null || return 1
    local line words
    while IFS= read -r line; do
        [[ -z "$line" || "$line" == \#* ]] && continue
        setup_words "$line"
        if [[ "${words[0]}" == reg ]]; then
            "$winsim" reg import "$m" "$dir/${words[2]}" >/dev/null
        elif [[ "${words[0]}" == hold ]]; then
            "$winsim" hold "$m" "${words[@]:1}" >/dev/null
        else
            "$winsim" "${words[0]}" "${words[1]}" "$m" "${words[@]:2}" >/dev/null
        fi || echo "setup failed: $line" >>"$out/setup.out"
    done <"$dir/setup"
    [[ -d "$dir/files" ]] && cp -r "$dir/files/." "$m/drive_c/"
    [[ -x "$dir/prepare.sh" ]] && "$dir/prepare.sh" sim "$m/drive_c" "$host" "$win"
    "$winsim" dump "$m" --keys "${KEYS:-}" --dirs "${DIRS:-}" --times "${TIMES:-}" |
        unify_windows_directory >"$out/before.dump"
    local start
    start=$(date +%s%N)
    "$winsim" exec "$m" --cd "$CD" -- "$host/app/dadazado" "${ARGS[@]}" >"$out/run.out" 2>&1
    echo $? >"$out/exit"
    echo $((($(date +%s%N) - start) / 1000)) >"$out/microseconds"
    "$winsim" dump "$m" --keys "${KEYS:-}" --dirs "${DIRS:-}" --times "${TIMES:-}" |
        unify_windows_directory >"$out/after.dump"
    normalise_log "$m/drive_c/flight.log" >"$out/log" 2>/dev/null
    shortcut_lines "$m/drive_c" >>"$out/after.dump"
}

# Wine's own processes of a session, which never end by themselves, and the file holder.
wine_service_pattern='^C:\\windows\\system32\\(services|winedevice|plugplay|svchost|rpcss|explorer|conhost)\.exe|file_holder\.exe'

# Waits (at most 60 s) until no program of this prefix runs but Wine's own services: the
# programs the run started without waiting for them.
wait_for_programs() {
    local deadline=$((SECONDS + 60)) pid busy
    while ((SECONDS < deadline)); do
        busy=0
        for pid in $(pgrep -u "$(id -u)" -if '\.exe'); do
            grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null || continue
            tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qE "$wine_service_pattern" ||
                busy=1
        done
        ((busy)) || return 0
        sleep 0.2
    done
    echo "programs still running after 60 s" >>"$out/setup.out"
}

# Starts file_holder.exe on the scenario's "hold PATH HOW" lines and waits until it holds them.
start_holder() {
    local out="$1" drive="$2"
    shift 2
    (($#)) || return 0
    wine "$winprogs/file_holder.exe" 'C:\holder.ready' 'C:\holder.release' "$@" \
        >"$out/holder.out" 2>&1 &
    holder=$!
    local deadline=$((SECONDS + 30))
    until [[ -f "$drive/holder.ready" ]] || ((SECONDS >= deadline)); do
        kill -0 "$holder" 2>/dev/null || break
        sleep 0.1
    done
    [[ -f "$drive/holder.ready" ]] || echo "holder did not start: $(cat "$out/holder.out")" \
        >>"$out/setup.out"
}

stop_holder() {
    local drive="$1"
    [[ -n "${holder:-}" ]] || return 0
    touch "$drive/holder.release"
    wait "$holder"
    rm -f "$drive/holder.ready" "$drive/holder.release"
    holder=
}

run_wine() {
    local dir="$1" out="$2"
    export WINEPREFIX="$out/prefix"
    cp -a "$pristine" "$WINEPREFIX"
    local drive="$WINEPREFIX/drive_c"
    # One server for the whole scenario: Wine carries out restart-time operations when a new
    # session starts, so the machine is read back before this one ends.
    wineserver -p
    # The Windows version Wine reports, as winecfg keeps it.
    wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "$(windows_version_name "$OS")" \
        /f >/dev/null 2>&1 || echo "could not set the Windows version" >>"$out/version.out"
    local line words holds=()
    : >"$out/setup.lines"
    while IFS= read -r line; do
        [[ -z "$line" || "$line" == \#* ]] && continue
        setup_words "$line"
        if [[ "${words[0]}" == reg ]]; then
            # The 64-bit program reads the 64-bit view of the registry.
            wine reg import "$(winepath -w "$dir/${words[2]}")" /reg:64 >/dev/null 2>&1
        elif [[ "${words[0]}" == hold ]]; then
            holds+=("${words[2]}" "${words[1]}")
        else
            echo "$line" >>"$out/setup.lines"
        fi
    done <"$dir/setup"
    [[ -d "$dir/files" ]] && cp -r "$dir/files/." "$drive/"
    [[ -x "$dir/prepare.sh" ]] && "$dir/prepare.sh" wine "$drive" "$host" "$win"
    wine "$winprogs/machine_setup.exe" "$(winepath -w "$out/setup.lines")" 2>&1 |
        tr -d '\r' >"$out/setup.out"
    wine "$winprogs/machine_dump.exe" --keys "${KEYS:-}" --dirs "${DIRS:-}" --times "${TIMES:-}" 2>/dev/null |
        tr -d '\r' | unify_windows_directory >"$out/before.dump"
    local cwd
    cwd="$(winepath -u "$CD")"
    mkdir -p "$cwd"
    cp "$exe" "$drive/dadazado.exe"
    start_holder "$out" "$drive" "${holds[@]}"
    # The program counts the printer handles, keys and libraries it opened and closed.
    local start
    start=$(date +%s%N)
    (cd "$cwd" && DADAZADO_HANDLE_COUNTS='C:\handle-counts.txt' \
        wine "C:\\dadazado.exe" "${ARGS[@]}" >"$out/run.out" 2>&1)
    echo $? >"$out/exit"
    echo $((($(date +%s%N) - start) / 1000)) >"$out/microseconds"
    wait_for_programs
    stop_holder "$drive"
    tr -d '\r' <"$drive/handle-counts.txt" >"$out/handles" 2>/dev/null ||
        echo "no handle counts written" >"$out/handles"
    wine "$winprogs/machine_dump.exe" --keys "${KEYS:-}" --dirs "${DIRS:-}" --times "${TIMES:-}" 2>/dev/null |
        tr -d '\r' | unify_windows_directory >"$out/after.dump"
    normalise_log "$drive/flight.log" >"$out/log" 2>/dev/null
    shortcut_lines "$drive" >>"$out/after.dump"
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    unset WINEPREFIX
}

# What the run changed: "+line" for what is new, "-line" for what went.
changes() {
    diff <(sort "$1/before.dump") <(sort "$1/after.dump") | sed -n 's/^> /+/p; s/^< /-/p' | sort
}

# Lines of one aspect that only one side has, as "ASPECT sim-only: LINE".
side_differences() {
    local aspect="$1" sim="$2" wine="$3"
    diff <(printf '%s\n' "$sim" | sed '/^$/d') <(printf '%s\n' "$wine" | sed '/^$/d') |
        sed -n "s/^< /$aspect sim-only: /p; s/^> /$aspect wine-only: /p"
}

compare() {
    local dir="$1" s="$2" w="$3"
    {
        side_differences exit "$(cat "$s/exit")" "$(cat "$w/exit")"
        [[ -n "${EXIT:-}" && "$(cat "$s/exit")" != "$EXIT" ]] &&
            echo "exit expected $EXIT, sim gave $(cat "$s/exit")"
        side_differences log "$(cat "$s/log")" "$(cat "$w/log")"
        side_differences before "$(grep -v '^monitor|' "$s/before.dump" | sort)" \
            "$(grep -v '^monitor|' "$w/before.dump" | sort)"
        side_differences change "$(changes "$s")" "$(changes "$w")"
        grep -v ': 0$' "$w/setup.out" | sed 's/^/wine setup failed: /'
        grep -vE 'opened ([0-9]+), closed \1$' "$w/handles" | sed 's/^/left open under Wine: /'
        [[ -f "$s/setup.out" ]] && sed 's/^/sim /' "$s/setup.out"
    } >"$1.differences"
}

# Every difference must be allowed by name, and every allowance must allow something.
judge() {
    local name="$1" differences="$2" allowed="$3" verdict=0 line
    local -a names=() patterns=()
    if [[ -f "$allowed" ]]; then
        while IFS= read -r line; do
            [[ -z "$line" || "$line" == \#* ]] && continue
            names+=("${line%%: *}") patterns+=("${line#*: }")
        done <"$allowed"
    fi
    local -a used=()
    while IFS= read -r line; do
        local matched=0 i
        for i in "${!patterns[@]}"; do
            if grep -qE -- "${patterns[$i]}" <<<"$line"; then matched=1 used[$i]=1; break; fi
        done
        [[ $matched -eq 1 ]] || { echo "  $line"; verdict=1; }
    done <"$differences"
    local i
    for i in "${!names[@]}"; do
        if [[ -n "${used[$i]:-}" ]]; then
            echo "  allowed: ${names[$i]}"
        else
            echo "  stale allowance (matches no difference): ${names[$i]}"; verdict=1
        fi
    done
    return $verdict
}

# Runs one scenario and leaves its verdict in WORK/NAME.verdict ("PASS ..." or "DIFF ...",
# then the report lines).
run_scenario() {
    local dir="$1" name
    name="$(basename "$dir")"
    unset OS CD ARGS EXIT KEYS DIRS TIMES
    # shellcheck source=/dev/null
    source "$dir/scenario"
    mkdir -p "$work/$name/sim" "$work/$name/wine"
    local t0=$SECONDS report verdict
    run_sim "$dir" "$work/$name/sim"
    run_wine "$dir" "$work/$name/wine"
    compare "$work/$name" "$work/$name/sim" "$work/$name/wine"
    if report="$(judge "$name" "$work/$name.differences" "$dir/allowed")"; then
        verdict="PASS $name (exit $(cat "$work/$name/wine/exit"), $((SECONDS - t0)) s;"
        verdict+=" $(paste -sd ';' "$work/$name/wine/handles" | sed 's/;/, /g'))"
    else
        verdict="DIFF $name (sim exit $(cat "$work/$name/sim/exit"), wine exit"
        verdict+=" $(cat "$work/$name/wine/exit"))"
    fi
    { echo "$verdict"; [[ -z "$report" ]] || echo "$report"; } >"$work/$name.verdict"
}

passed=0 differing=0 ran=0
if check_program; then echo "program: GUI subsystem, system libraries only, no window calls"
else failures+=(program); fi
boot_prefix || die "wineboot -i failed: $(tail -5 "$work/wineboot.out")"
echo "wine-parity: $(wine --version) prefix booted in $((SECONDS - started)) s"

jobs_at_once="${WINE_PARITY_JOBS:-$(nproc)}"
names=()
for dir in "$repo"/tests/wine/scenarios/*/; do
    dir="${dir%/}" name="$(basename "$dir")"
    # WINE_PARITY_ONLY is a pattern of scenario names ("exit-*").
    # shellcheck disable=SC2053
    [[ -n "${WINE_PARITY_ONLY:-}" && "$name" != $WINE_PARITY_ONLY ]] && continue
    while (($(jobs -rp | wc -l) >= jobs_at_once)); do wait -n; done
    run_scenario "$dir" &
    names+=("$name")
done
wait

for name in "${names[@]}"; do
    ran=$((ran + 1))
    if [[ -f "$work/$name.verdict" ]]; then
        cat "$work/$name.verdict"
    else
        echo "DIFF $name (the scenario did not finish)"
    fi
    if head -1 "$work/$name.verdict" 2>/dev/null | grep -q '^PASS'; then
        passed=$((passed + 1))
    else
        differing=$((differing + 1))
        failures+=("$name")
    fi
done

echo "wine-parity: $ran scenarios run, $passed passed, $differing differing ($((SECONDS - started)) s; details in $work)"
echo "$passed passed, $((${#failures[@]})) failed"
[[ ${#failures[@]} -eq 0 ]]
