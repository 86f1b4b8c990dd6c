#!/usr/bin/env bash
# Runs every scenario of tests/wine/scenarios twice, on a simulated machine with the host
# build and under Wine with a Windows build, and compares the two runs: exit code, flight
# recorder (times and dates normalised), the machine before the run and what the run changed
# on it (spooler records, printer data, monitors, registry values, files), the shortcut files
# it made, and the Windows version the program identifies (the registry values it reads). A
# scenario's file "allowed" lists the differences it accepts, one "NAME: REGEX" a line; every
# difference must match one, and every allowance must be used. Allowances whose name begins
# with "x64" exist only because the program is a 64-bit one; the 32-bit run ignores them.
#   scripts/wine-parity.sh HOST_BUILD WIN_BUILD
# WIN_BUILD is the x86_64 build (the default suite: 64-bit Wine, one step a Wine call) or the
# i686 build (opt-in: 32-bit Wine from scripts/wine32-env.sh; every Windows-side step of a
# scenario runs from one batch, so that a Wine session starts once a scenario, see
# scripts/wine32-env.sh for why that matters).
# Prints one verdict a scenario and, last, "N passed, N failed". Each side's run of the
# program is timed (wall time, start-up included) into WORK/SCENARIO/{sim,wine}/microseconds;
# the 32-bit run also times each Windows-side step into WORK/SCENARIO/wine/steps.
# Scenarios run WINE_PARITY_JOBS at a time (default: the number of processors), each with its
# own Wine prefix and server; the verdicts are printed in the scenarios' order.
set -uo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
die() { echo "wine-parity: $*" >&2; exit 2; }
[[ $# -eq 2 ]] || die "usage: $0 HOST_BUILD WIN_BUILD"
host="$(readlink -f "$1")" win="$(readlink -f "$2")"
winsim="$host/tools/winsim"
exe="$win/app/dadazado.exe"
winprogs="$win/tests/wine"
for f in "$winsim" "$host/app/dadazado" "$exe" "$winprogs/machine_setup.exe" \
    "$winprogs/machine_dump.exe" "$winprogs/file_holder.exe"; do
    [[ -f "$f" ]] || die "missing $f (build the host and the Windows targets)"
done
command -v lnkinfo >/dev/null || die "lnkinfo is not installed (liblnk-utils)"

if x86_64-w64-mingw32-objdump -f "$exe" | grep -q 'file format pei-i386'; then
    bits=32
    # The 32-bit loader, directly or through qemu-user; this script runs again inside the
    # environment that makes it work (scripts/wine32-env.sh).
    if [[ -z "${DADAZADO_WINE32_READY:-}" ]]; then
        exec "$repo/scripts/wine32-env.sh" "$0" "$@"
    fi
    wine_loader="$DADAZADO_WINE32_LOADER"
else
    bits=64
    # The 64-bit loader itself: Debian's "wine" prefers a 32-bit loader as soon as one is
    # installed, also where it cannot run.
    wine_loader="${DADAZADO_WINE64_LOADER:-/usr/lib/wine/wine64}"
fi
wine_server="${DADAZADO_WINESERVER:-/usr/lib/wine/wineserver64}"
[[ -x "$wine_loader" || $bits == 32 ]] || die "no 64-bit Wine loader at $wine_loader (install wine64)"
[[ -x "$wine_server" ]] || die "no Wine server at $wine_server (install wine64)"
export WINELOADER="$wine_loader" WINESERVER="$wine_server"
wine() { "$wine_loader" "$@"; }
wineserver() { "$wine_server" "$@"; }

work="$host/wine-parity"
((bits == 32)) && work="$host/wine-parity-32"
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

# --- Wine: one booted prefix, copied for each scenario. The 32-bit one takes many minutes to
# boot under emulation and is kept (scripts/wine32-env.sh says where).
pristine="${DADAZADO_WINE32_PREFIX:-$work/pristine}"
boot_prefix() {
    [[ -f "$pristine/booted" ]] && return 0
    rm -rf "$pristine"
    # The chosen server, started first: Wine would otherwise start the one its wrapper picks.
    ((bits == 32)) && mkdir -p "$pristine" && WINEPREFIX="$pristine" wineserver -p60
    WINEPREFIX="$pristine" timeout "${WINE_PARITY_SESSION_LIMIT:-5400}" "$wine_loader" wineboot.exe -i \
        >"$work/wineboot.out" 2>&1
    local booted=$?
    # Under emulation the boot outlasts the five minutes the first program waits for it ("boot
    # event wait timed out"); that program gives up, the boot itself goes on.
    ((bits == 32)) && grep -q 'boot event wait timed out' "$work/wineboot.out" && booted=0
    ((booted == 0)) || { WINEPREFIX="$pristine" wineserver -k; return 1; }
    WINEPREFIX="$pristine" wineserver -w
    [[ -f "$pristine/drive_c/windows/system32/kernel32.dll" ]] && touch "$pristine/booted"
}

# The Windows version Wine reports through its own calls (as winecfg keeps it), and the
# values the program identifies the system by, as the simulated machine of that version has
# them: "NAME CURRENTVERSION BUILD SERVICE-PACK PRODUCT". Status 2 for a version with no edition
# of this program's width, 1 for an unknown one.
windows_version() {
    case "$1" in
        # XP's 64-bit edition is NT 5.2, build 3790, and ended at Service Pack 2.
        xp) ((bits == 64)) && echo "winxp64 5.2 3790 2 Microsoft Windows XP" ||
            echo "winxp 5.1 2600 3 Microsoft Windows XP" ;;
        # No 64-bit edition: the 64-bit program never runs there. NT 4.0 and the 9x family are
        # not here because Wine's spooler cannot stand in for theirs: it records every "Windows
        # NT x86" driver as version 3, also when AddPrinterDriver is given version 2 (NT 4.0's
        # kernel-mode drivers), and it is an NT spooler whatever version Wine reports.
        2000) ((bits == 32)) || return 2; echo "win2k 5.0 2195 4 Microsoft Windows 2000" ;;
        2003) echo "win2003 5.2 3790 2 Microsoft Windows Server 2003" ;;
        vista) echo "vista 6.0 6002 2 Windows Vista" ;;
        *) return 1 ;;
    esac
}

# A fresh prefix keeps the version it was made with in HKLM whatever HKCU\Software\Wine says,
# and the program reads HKLM: both are set. The 9x values would make any system a 9x one.
version_registry() {
    local version name current build pack product
    version="$(windows_version "$1")" || return 1
    read -r name current build pack product <<<"$version"
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine]\r\n"Version"="%s"\r\n' "$name"
    printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion]\r\n'
    printf '"CurrentVersion"="%s"\r\n"CurrentBuildNumber"="%s"\r\n' "$current" "$build"
    printf '"CSDVersion"="Service Pack %s"\r\n"ProductName"="%s"\r\n' "$pack" "$product"
    printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\r\n'
    printf '"VersionNumber"=-\r\n"SubVersionNumber"=-\r\n'
}

# What the program identifies the system by (its OS identification reads these and nothing
# else), dumped on both sides before and after the run.
system_keys='HKLM\Software\Microsoft\Windows\CurrentVersion|VersionNumber'
system_keys+=';HKLM\Software\Microsoft\Windows\CurrentVersion|SubVersionNumber'
system_keys+=';HKLM\Software\Microsoft\Windows NT\CurrentVersion|CurrentVersion'
system_keys+=';HKLM\Software\Microsoft\Windows NT\CurrentVersion|CSDVersion'
system_keys+=';HKLM\Software\Wow6432Node|(whether the key exists)'

# Paths between the two systems, without starting Wine for each.
windows_path_of() { local p="${1//\//\\}"; echo "Z:$p"; }
unix_path_of() {
    local p="${1//\\//}" drive
    drive="${p:0:2}"
    echo "$WINEPREFIX/dosdevices/${drive,,}${p:2}"
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
    # The 64-bit program runs on 64-bit editions only.
    local edition=()
    ((bits == 64)) && edition=(--64bit)
    "$winsim" new "$m" --os "$OS" "${edition[@]}" >/dev/null || return 1
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
    "$winsim" dump "$m" --keys "$system_keys;${KEYS:-}" --dirs "${DIRS:-}" --times "${TIMES:-}" |
        unify_windows_directory >"$out/before.dump"
    local start
    start=$(date +%s%N)
    "$winsim" exec "$m" --cd "$CD" -- "$host/app/dadazado" "${ARGS[@]}" >"$out/run.out" 2>&1
    echo $? >"$out/exit"
    echo $((($(date +%s%N) - start) / 1000)) >"$out/microseconds"
    "$winsim" dump "$m" --keys "$system_keys;${KEYS:-}" --dirs "${DIRS:-}" --times "${TIMES:-}" |
        unify_windows_directory >"$out/after.dump"
    normalise_log "$m/drive_c/flight.log" >"$out/log" 2>/dev/null
    shortcut_lines "$m/drive_c" >>"$out/after.dump"
}

# Wine's own processes of a session, which never end by themselves, and the file holder; in
# the 32-bit run also the batch's interpreter and its pauses. Under qemu-user a process's
# command line begins with the emulator and the loader.
wine_service_pattern='(^|[ /])C:\\windows\\system32\\(services|winedevice|plugplay|svchost|rpcss|explorer|conhost)\.exe|file_holder\.exe'
((bits == 32)) && wine_service_pattern+='|[ \\]cmd\.exe|[ \\]ping\.exe|scenario\.bat'

# Programs of this prefix whose command line matches PATTERN (or, with -v, does not).
prefix_programs() {
    local pid
    for pid in $(pgrep -u "$(id -u)" -if '\.exe'); do
        grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null || continue
        tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qE "$@" && echo "$pid"
    done
}

# Waits (at most 60 s, or SECONDS) until no program of this prefix runs but Wine's own
# services: the programs the run started without waiting for them.
wait_for_programs() {
    local deadline=$((SECONDS + ${1:-60}))
    while ((SECONDS < deadline)); do
        [[ -z "$(prefix_programs -v "$wine_service_pattern")" ]] && return 0
        sleep 0.2
    done
    echo "programs still running after ${1:-60} s" >>"$out/setup.out"
}

wait_for_no_program() {
    local deadline=$((SECONDS + $2))
    while ((SECONDS < deadline)); do
        [[ -z "$(prefix_programs "$1")" ]] && return 0
        sleep 0.5
    done
    echo "$1 still running after $2 s" >>"$out/setup.out"
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

# The Unix side of a scenario's Wine machine: a copy of the booted prefix, the scenario's
# files, and in WORK the version's and the scenario's registry files, the setup lines for
# machine_setup.exe and the holds ("PATH HOW" pairs) for file_holder.exe.
prepare_wine() {
    local dir="$1" out="$2" drive="$WINEPREFIX/drive_c"
    mkdir -p "$WINEPREFIX" && cp -a "$pristine/." "$WINEPREFIX/"
    version_registry "$OS" >"$out/version.reg" || echo "unknown Windows version $OS" >>"$out/version.out"
    registry_files=("$out/version.reg") holds=()
    local line words
    : >"$out/setup.lines"
    while IFS= read -r line; do
        [[ -z "$line" || "$line" == \#* ]] && continue
        setup_words "$line"
        if [[ "${words[0]}" == reg ]]; then
            registry_files+=("$dir/${words[2]}")
        elif [[ "${words[0]}" == hold ]]; then
            holds+=("${words[2]}" "${words[1]}")
        else
            echo "$line" >>"$out/setup.lines"
        fi
    done <"$dir/setup"
    [[ -d "$dir/files" ]] && cp -r "$dir/files/." "$drive/"
    [[ -x "$dir/prepare.sh" ]] && "$dir/prepare.sh" wine "$drive" "$host" "$win"
    mkdir -p "$(unix_path_of "$CD")"
    cp "$exe" "$drive/dadazado.exe"
}

# What the Windows side left in WORK, made comparable.
collect_wine() {
    local out="$1" drive="$WINEPREFIX/drive_c"
    tr -d '\r' <"$drive/handle-counts.txt" >"$out/handles" 2>/dev/null ||
        echo "no handle counts written" >"$out/handles"
    normalise_log "$drive/flight.log" >"$out/log" 2>/dev/null
    shortcut_lines "$drive" >>"$out/after.dump"
}

dump_args() { printf '%s\n' --keys "$system_keys;${KEYS:-}" --dirs "${DIRS:-}" --times "${TIMES:-}"; }

# The 64-bit run: each Windows-side step is a Wine call of its own.
run_wine_steps() {
    local out="$1" drive="$WINEPREFIX/drive_c" file
    local -a dump
    mapfile -t dump < <(dump_args)
    # One server for the whole scenario: Wine carries out restart-time operations when a new
    # session starts, so the machine is read back before this one ends.
    wineserver -p
    # Both views: the 64-bit program reads the 64-bit one, Wine's 32-bit parts the other.
    for file in "${registry_files[@]}"; do
        wine reg import "$(windows_path_of "$file")" /reg:64 >/dev/null 2>&1 ||
            echo "could not import $file" >>"$out/version.out"
    done
    wine reg import "$(windows_path_of "$out/version.reg")" /reg:32 >/dev/null 2>&1
    wine "$winprogs/machine_setup.exe" "$(windows_path_of "$out/setup.lines")" 2>&1 |
        tr -d '\r' >"$out/setup.out"
    wine "$winprogs/machine_dump.exe" "${dump[@]}" 2>/dev/null |
        tr -d '\r' | unify_windows_directory >"$out/before.dump"
    start_holder "$out" "$drive" "${holds[@]}"
    # The program counts the printer handles, keys and libraries it opened and closed.
    local start
    start=$(date +%s%N)
    (cd "$(unix_path_of "$CD")" && DADAZADO_HANDLE_COUNTS='C:\handle-counts.txt' \
        wine "C:\\dadazado.exe" "${ARGS[@]}" >"$out/run.out" 2>&1)
    echo $? >"$out/exit"
    echo $((($(date +%s%N) - start) / 1000)) >"$out/microseconds"
    wait_for_programs
    stop_holder "$drive"
    wine "$winprogs/machine_dump.exe" "${dump[@]}" 2>/dev/null |
        tr -d '\r' | unify_windows_directory >"$out/after.dump"
}

# A word of a command line for cmd: quoted when it is empty or has blanks or characters that
# cmd treats specially.
cmd_special='[[:space:];,=&|<>^()]'
cmd_word() {
    if [[ -z "$1" || "$1" =~ $cmd_special ]]; then printf '"%s"' "$1"; else printf '%s' "$1"; fi
}
cmd_words() { local w line=""; for w in "$@"; do line+=" $(cmd_word "$w")"; done; echo "${line# }"; }

# The 32-bit run: a Wine program started from the Unix side starts the session's services
# again, which takes minutes under emulation, while programs started from a Windows program
# do not. So every Windows-side step of the scenario runs from one batch; where a step needs
# the Unix side (waiting for the programs the run started, for the holder), the batch asks
# for it by making C:\parity\NAME.asked and waits for C:\parity\NAME.done.
write_batch() {
    local out="$1" file
    local -a dump
    mapfile -t dump < <(dump_args)
    local parity='C:\parity' dumper setup
    dumper="$(windows_path_of "$winprogs/machine_dump.exe") $(cmd_words "${dump[@]}")"
    setup="$(windows_path_of "$winprogs/machine_setup.exe")"
    echo '@echo off'
    echo 'call :step start'
    for file in "${registry_files[@]}"; do
        # Not "||": Wine's cmd runs what follows it after a redirected command that succeeded.
        echo "reg import $(cmd_word "$(windows_path_of "$file")") >nul 2>&1"
        echo "if errorlevel 1 echo could not import $(cmd_word "$file") >>$parity\\version.out"
    done
    echo 'call :step registry'
    echo "$setup $(windows_path_of "$out/setup.lines") >$parity\\setup.out 2>&1"
    echo 'call :step setup'
    echo "$dumper >$parity\\before.dump 2>nul"
    echo 'call :step before-dump'
    if ((${#holds[@]})); then
        echo "start \"\" $(windows_path_of "$winprogs/file_holder.exe") C:\\holder.ready C:\\holder.release $(cmd_words "${holds[@]}")"
        echo 'call :ask holder-ready'
    fi
    echo "cd /d $(cmd_word "$CD")"
    echo 'set DADAZADO_HANDLE_COUNTS=C:\handle-counts.txt'
    echo 'call :step program-start'
    echo "C:\\dadazado.exe $(cmd_words "${ARGS[@]}")"
    echo "echo %ERRORLEVEL% >$parity\\exit"
    echo 'call :step program'
    echo 'set DADAZADO_HANDLE_COUNTS='
    echo 'call :ask programs-ended'
    ((${#holds[@]})) && echo 'echo.>C:\holder.release' && echo 'call :ask holder-ended'
    echo "$dumper >$parity\\after.dump 2>nul"
    echo 'call :step after-dump'
    echo 'goto :eof'
    echo ':step'
    echo "echo %1 >>$parity\\steps"
    echo 'goto :eof'
    echo ':ask'
    echo "echo.>$parity\\%1.asked"
    echo ':wait'
    echo "if exist $parity\\%1.done goto :eof"
    echo 'ping -n 2 127.0.0.1 >nul 2>&1'
    echo 'goto wait'
}

# Answers the batch's requests until it ends. A session that has not ended after
# WINE_PARITY_SESSION_LIMIT seconds (default 5400; a crashed Wine server leaves its programs
# waiting for ever) is ended, and the scenario fails.
serve_batch() {
    local out="$1" batch="$2" parity="$WINEPREFIX/drive_c/parity" name
    local deadline=$((SECONDS + ${WINE_PARITY_SESSION_LIMIT:-5400}))
    while kill -0 "$batch" 2>/dev/null; do
        record_steps "$out"
        if ((SECONDS >= deadline)); then
            echo "the Wine session did not end within ${WINE_PARITY_SESSION_LIMIT:-5400} s" >>"$out/setup.out"
            # shellcheck disable=SC2046
            kill $(prefix_programs .) "$batch" 2>/dev/null
            break
        fi
        for name in holder-ready programs-ended holder-ended; do
            [[ -f "$parity/$name.asked" && ! -f "$parity/$name.done" ]] || continue
            case "$name" in
                holder-ready) wait_for_file "$WINEPREFIX/drive_c/holder.ready" 600 ||
                    echo "holder did not start" >>"$out/setup.out" ;;
                programs-ended) wait_for_programs 600 ;;
                holder-ended) wait_for_no_program 'file_holder\.exe' 600 ;;
            esac
            touch "$parity/$name.done"
        done
        sleep 0.2
    done
}

# Wine's %TIME% has minutes only, so the steps are timed here, as the batch reports them:
# each whole line after the caller's "seen" first ones, which it counts on.
record_steps() {
    local out="$1" step
    while IFS= read -r step; do
        seen=$((seen + 1))
        echo "${step//[$'\r ']/} $(date +%s.%N)" >>"$out/steps"
    done < <(tail -n +$((seen + 1)) "$WINEPREFIX/drive_c/parity/steps" 2>/dev/null)
}

wait_for_file() {
    local deadline=$((SECONDS + $2))
    until [[ -f "$1" ]] || ((SECONDS >= deadline)); do sleep 1; done
    [[ -f "$1" ]]
}

run_wine_batch() {
    local out="$1" parity="$WINEPREFIX/drive_c/parity"
    mkdir -p "$parity"
    write_batch "$out" | sed 's/$/\r/' >"$parity/scenario.bat"
    wineserver -p
    local start batch
    start=$(date +%s%N)
    wine cmd.exe /c 'C:\parity\scenario.bat' >"$out/batch.out" 2>&1 &
    batch=$!
    local seen=0
    serve_batch "$out" "$batch"
    wait "$batch"
    record_steps "$out"
    echo $((($(date +%s%N) - start) / 1000)) >"$out/session-microseconds"
    local file
    for file in setup.out exit version.out; do
        [[ -f "$parity/$file" ]] && tr -d '\r' <"$parity/$file" | sed 's/ *$//' >"$out/$file"
    done
    for file in before.dump after.dump; do
        tr -d '\r' <"$parity/$file" 2>/dev/null | unify_windows_directory >"$out/$file"
    done
    [[ -f "$out/exit" ]] || echo "no exit code" >"$out/exit"
    [[ -f "$out/setup.out" ]] || : >"$out/setup.out"
    step_times "$out/steps" >"$out/step-seconds"
    # The program's own time, start-up included, as the batch measured it.
    awk '$1 == "program" {print $2}' "$out/step-seconds" |
        awk '{printf "%d\n", $1 * 1000000}' >"$out/microseconds"
    rm -rf "$parity"
}

# "STEP SECONDS" a line from the "STEP UNIX-TIME" lines (each step's time is from the step
# before it).
step_times() {
    awk 'NR > 1 { printf "%s %.1f\n", $1, $2 - last } { last = $2 }' "$1" 2>/dev/null
}

run_wine() {
    local dir="$1" out="$2"
    export WINEPREFIX="$out/prefix"
    prepare_wine "$dir" "$out"
    if ((bits == 64)); then run_wine_steps "$out"; else run_wine_batch "$out"; fi
    collect_wine "$out"
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
        [[ -f "$w/version.out" ]] && sed 's/^/wine version: /' "$w/version.out"
    } >"$1.differences"
}

# Every difference must be allowed by name, and every allowance must allow something.
judge() {
    local name="$1" differences="$2" allowed="$3" verdict=0 line
    local -a names=() patterns=()
    if [[ -f "$allowed" ]]; then
        while IFS= read -r line; do
            [[ -z "$line" || "$line" == \#* ]] && continue
            [[ $bits == 32 && "$line" == x64* ]] && continue
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
    {
        echo "$verdict"
        [[ -z "$report" ]] || echo "$report"
        [[ -s "$work/$name/wine/step-seconds" ]] &&
            echo "  Windows-side steps (s): $(paste -sd ',' "$work/$name/wine/step-seconds" |
                sed 's/,/, /g'); session $(($(cat "$work/$name/wine/session-microseconds") / 1000000)) s"
    } >"$work/$name.verdict"
}

passed=0 differing=0 ran=0
if check_program; then echo "program: GUI subsystem, system libraries only, no window calls"
else failures+=(program); fi
boot_prefix || die "wineboot -i failed: $(tail -5 "$work/wineboot.out")"
[[ -f "$pristine/booted" ]] || die "the prefix did not boot: $(tail -5 "$work/wineboot.out")"
echo "wine-parity: $(wine --version) ($bits-bit) prefix ready in $((SECONDS - started)) s"

jobs_at_once="${WINE_PARITY_JOBS:-$(nproc)}"
names=()
for dir in "$repo"/tests/wine/scenarios/*/; do
    dir="${dir%/}" name="$(basename "$dir")"
    # WINE_PARITY_ONLY is a pattern of scenario names ("exit-*").
    # shellcheck disable=SC2053
    [[ -n "${WINE_PARITY_ONLY:-}" && "$name" != $WINE_PARITY_ONLY ]] && continue
    # A version without an edition for this program is skipped; an unknown one still runs and
    # fails ("unknown Windows version").
    os="$(sed -n 's/^OS=//p' "$dir/scenario")"
    if windows_version "$os" >/dev/null; (($? == 2)); then
        echo "skipped $name: no $bits-bit edition of Windows $os"
        continue
    fi
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
