#!/usr/bin/env bash
# Whole-process measurements of the host build, side by side with the host's own tools, in
# one run on one machine, with the ratios and the targets they are held to.
#
#   scripts/bench.sh            full sizes (50 MB SZDD, 2,000-member zip, INFs of 1,000 to
#                               100,000 command lines); long: the largest INF dominates
#   scripts/bench.sh --short    small sizes for CI (1-2 minutes on a quiet machine); checks the
#                               peak-memory targets, prints the size-dependent ones
#   scripts/bench.sh --limits   the large inputs (INF of 100,000 lines, zip of 10,000 members,
#                               200 MB SZDD, 50 MB INI file): peak memory and growth
#   scripts/bench.sh --micro    the Google Benchmark micro benchmarks only
#
# BENCH_BUILD names the Release build directory (default: ${BUILD_ROOT:-build}/bench),
# BENCH_RUNS the runs per figure (the median is reported; default 5, 3 in short mode),
# BENCH_WIN_BUILD the x86_64 Windows build for the Wine comparison (default:
# ${BUILD_ROOT:-build}/build-win64; the comparison is skipped without it or without Wine).
# Exit code: 0 when every checked target holds, 1 when one fails, 2 on a set-up problem.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"

MODE=full
case "${1:-}" in
  "") ;;
  --short) MODE=short ;;
  --limits) MODE=limits ;;
  --micro) MODE=micro ;;
  *) echo "usage: $0 [--short | --limits | --micro]" >&2; exit 2 ;;
esac

BUILD="${BENCH_BUILD:-${BUILD_ROOT:-build}/bench}"
if [[ "$MODE" == short ]]; then RUNS="${BENCH_RUNS:-3}"; else RUNS="${BENCH_RUNS:-5}"; fi
for tool in mscompress msexpand zip unzip /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "bench: $tool is not installed" >&2; exit 2; }
done

# -O2: GCC 12 at -O3 reports a false -Wrestrict inside libstdc++'s string code.
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DDADAZADO_BENCH=ON -DDADAZADO_TESTS=OFF >/dev/null
cmake --build "$BUILD" --target dadazado winsim bench_input micro_bench logging_substitute \
  install_engine_substitute >/dev/null
BUILD="$(cd "$BUILD" && pwd)"
DADAZADO="$BUILD/app/dadazado"
WINSIM="$BUILD/tools/winsim"
INPUT="$BUILD/bench/bench_input"

WORK="$BUILD/bench-work"
rm -rf "$WORK"
mkdir -p "$WORK"
trap 'rm -rf "$WORK"' EXIT

FAILED=0
echo "bench: mode $MODE, $RUNS runs per figure (median), $(nproc) cores," \
  "$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"

if [[ "$MODE" == micro ]]; then
  "$BUILD/bench/micro_bench" --benchmark_min_time=0.2
  exit 0
fi

# ---------------------------------------------------------------- measuring
# measure SETUP COMMAND...: runs SETUP (untimed) and COMMAND RUNS times; sets MEDIAN (seconds
# of wall time) and PEAK (the largest resident set of the command, in kB).
measure() {
  local setup="$1" times=() i start end rss
  shift
  PEAK=0
  for ((i = 0; i < RUNS; i++)); do
    "$setup"
    # The set-up copies and deletes whole machines; its write-back would land in the run.
    sync
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$WORK/rss" "$@" >"$WORK/out" 2>&1 || {
      echo "bench: command failed: $*" >&2
      cat "$WORK/out" >&2
      exit 2
    }
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
    rss=$(tail -1 "$WORK/rss")
    ((rss > PEAK)) && PEAK=$rss
  done
  MEDIAN=$(median_seconds "${times[@]}")
}

median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# median_seconds MICROSECONDS...: the median, in seconds.
median_seconds() { awk -v m="$(median "$@")" 'BEGIN {printf "%.4f", m / 1e6}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}'; }
# check TEXT CONDITION-AS-AWK-EXPRESSION: prints the verdict and remembers a failure.
check() {
  if awk "BEGIN {exit !($2)}"; then echo "  ok:   $1"; else echo "  FAIL: $1"; FAILED=1; fi
}
row() { printf '  %-44s %12s %12s %10s\n' "$@"; }
mb() { awk -v k="$1" 'BEGIN {printf "%.1f MB", k / 1024}'; }

# ---------------------------------------------------------------- machines
# A fresh XP machine with the bench printer and its driver; the package goes to C:\Pkg.
make_machine() {
  local machine="$1"
  rm -rf "$machine"
  "$WINSIM" new "$machine" --os xp >/dev/null
  "$WINSIM" driver add "$machine" "Bench Printer" --driver-path BENCH.DLL \
    --data-file BENCH.PPD --config-file BENCHUI.DLL >/dev/null
  "$WINSIM" printer add "$machine" "Bench Printer" --driver "Bench Printer" --port LPT1: >/dev/null
  mkdir -p "$machine/drive_c/Pkg"
}

flight_recorder_on() {
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qentrel]\r\n"DadazadoDebug"="C:\\\\flight.log"\r\n' \
    >"$WORK/recorder.reg"
  "$WINSIM" reg import "$1" "$WORK/recorder.reg" >/dev/null
}

# write_inf FILE INSTALL-FILE-LINES REGISTRY-LINES [EXTRA-KEY=SECTION EXTRA-SECTION-TEXT]
write_inf() {
  local file="$1" files="$2" regs="$3" extra_key="${4:-}" extra_text="${5:-}"
  {
    printf '[Version]\r\nSignature="$Windows NT$"\r\nClass=Printer\r\n\r\n'
    printf '[Manufacturer]\r\n"Bench"=Bench.Models\r\n\r\n[Bench.Models]\r\n'
    printf '"Bench Printer" = BenchInstall, BenchId\r\n\r\n[BenchInstall]\r\n'
    ((files > 0)) && printf 'QenInstallFile=Bench.Files\r\n'
    ((regs > 0)) && printf 'AddReg=Bench.AddReg\r\n'
    [[ -n "$extra_key" ]] && printf '%s\r\n' "$extra_key"
    printf '\r\n[Bench.Files]\r\n'
    # Directories of 1,000 files, as a driver's files spread over a few directories.
    # INSTALL_LOG_KIND 2 records each file for the driver, and logs a line for it.
    local tail=""
    [[ -n "${INSTALL_LOG_KIND:-}" ]] && tail=", 0, $INSTALL_LOG_KIND"
    awk -v n="$files" -v tail="$tail" 'BEGIN {for (i = 0; i < n; i++)
      printf "x, 1, C:\\Out\\D%03d\\F%06d.DLL, %%1%%\\SMALL.DLL, %%2%%\\F%06d.TMP%s\r\n", i / 1000, i, i, tail}'
    printf '\r\n[Bench.AddReg]\r\n'
    awk -v n="$regs" 'BEGIN {for (i = 0; i < n; i++)
      printf "HKLM, SOFTWARE\\Bench\\Key%03d, Value%06d, 0, \"data of value %d\"\r\n", i % 100, i, i}'
    printf '\r\n%s' "$extra_text"
  } >"$file"
}

# A run of the product on a copy of the pristine machine, as the driver installation runs it.
PRISTINE="$WORK/pristine"
MACHINE="$WORK/machine"
# Trees of earlier runs are moved aside, not deleted, until the script ends: the file system
# makes new files slowly for a while after many were deleted (the inodes it skips as recently
# freed), which would charge one run with the clean-up of the one before.
TRASH="$WORK/trash"
TRASHED=0
set_aside() {
  [[ -e "$1" ]] || return 0
  mkdir -p "$TRASH"
  TRASHED=$((TRASHED + 1))
  mv "$1" "$TRASH/$TRASHED"
}
restore_machine() {
  set_aside "$MACHINE"
  cp -a "$PRISTINE" "$MACHINE"
}
PRODUCT_ARGS=(-I 'C:\Pkg\oem.inf' -N "Bench Printer" -P LPT1: -S)
RUN_PRODUCT=(env -C "$MACHINE/drive_c/Pkg" WINSIM_MACHINE="$MACHINE" "$DADAZADO" "${PRODUCT_ARGS[@]}")
# prepare_package INF-ARGS...: a pristine machine whose package holds that INF.
prepare_package() {
  make_machine "$PRISTINE"
  printf 'a small driver file\r\n' >"$PRISTINE/drive_c/Pkg/SMALL.DLL"
  write_inf "$PRISTINE/drive_c/Pkg/oem.inf" "$@"
}

# ---------------------------------------------------------------- LZ expansion
lz_comparison() {
  local bytes="$1" label="$2"
  echo
  echo "LZ expansion of a $label SZDD file made by mscompress"
  "$INPUT" data "$WORK/BIG.DL" "$bytes"
  (cd "$WORK" && mscompress BIG.DL && mv BIG.DL BIG.ORIG)
  prepare_package 0 0 "QenInstallFile=Bench.Big" \
    $'[Bench.Big]\r\nx, 1, C:\\Out\\BIG.DLL, %1%\\BIG.DL_, %2%\\BIG.TMP\r\n'
  cp "$WORK/BIG.DL_" "$PRISTINE/drive_c/Pkg/BIG.DL_"
  mkdir -p "$WORK/peer"
  peer_setup() { rm -rf "$WORK/peer"/*; cp "$WORK/BIG.DL_" "$WORK/peer/"; }
  measure peer_setup sh -c "cd '$WORK/peer' && msexpand BIG.DL_"
  local peer="$MEDIAN" peer_peak="$PEAK"
  cmp -s "$WORK/peer/BIG.DL" "$WORK/BIG.ORIG" || { echo "bench: msexpand output differs" >&2; exit 2; }
  measure restore_machine "${RUN_PRODUCT[@]}"
  local ours="$MEDIAN" ours_peak="$PEAK"
  cmp -s "$MACHINE/drive_c/Out/BIG.DLL" "$WORK/BIG.ORIG" ||
    { echo "bench: the expanded file differs" >&2; exit 2; }
  row "" "seconds" "peak" "ratio"
  row "msexpand" "$peer" "$(mb "$peer_peak")" ""
  row "dadazado install-file line" "$ours" "$(mb "$ours_peak")" "$(ratio "$ours" "$peer")"
  LZ_RATIO=$(ratio "$ours" "$peer") LZ_PEAK=$ours_peak
  rm -f "$WORK/BIG.DL_" "$WORK/BIG.ORIG"
}

# ---------------------------------------------------------------- zip extraction
zip_comparison() {
  local members="$1" bytes="$2" label="$3"
  echo
  echo "Extraction of a zip of $members members ($label) made by zip"
  rm -rf "$WORK/tree"
  "$INPUT" tree "$WORK/tree" "$members" "$bytes"
  (cd "$WORK/tree" && zip -q -r -X "$WORK/BIG.ZIP" .)
  set_aside "$WORK/tree"
  prepare_package 0 0 "QenUnZipZipFile=Bench.Archives" \
    $'[Bench.Archives]\r\nx, 1, %1%\\BIG.ZIP, C:\\Out\\Zip\r\n'
  cp "$WORK/BIG.ZIP" "$PRISTINE/drive_c/Pkg/BIG.ZIP"
  peer_setup() { set_aside "$WORK/peer"; mkdir -p "$WORK/peer"; }
  measure peer_setup unzip -o -q "$WORK/BIG.ZIP" -d "$WORK/peer"
  local peer="$MEDIAN" peer_peak="$PEAK"
  measure restore_machine "${RUN_PRODUCT[@]}"
  local ours="$MEDIAN" ours_peak="$PEAK"
  diff -r -q "$WORK/peer" "$MACHINE/drive_c/Out/Zip" >/dev/null ||
    { echo "bench: the extracted tree differs from unzip's" >&2; exit 2; }
  row "" "seconds" "peak" "ratio"
  row "unzip -o -q" "$peer" "$(mb "$peer_peak")" ""
  row "dadazado unzip line" "$ours" "$(mb "$ours_peak")" "$(ratio "$ours" "$peer")"
  ZIP_RATIO=$(ratio "$ours" "$peer") ZIP_PEAK=$ours_peak
  set_aside "$WORK/peer"
  rm -f "$WORK/BIG.ZIP"
}

# ---------------------------------------------------------------- INF size
# run_inf FILES REGS RECORDER: sets MEDIAN and PEAK for a run of that INF.
run_inf() {
  prepare_package "$1" "$2"
  [[ "$3" == on ]] && flight_recorder_on "$PRISTINE"
  measure restore_machine "${RUN_PRODUCT[@]}"
  LOG_LINES=0
  [[ -f "$MACHINE/drive_c/flight.log" ]] && LOG_LINES=$(wc -l <"$MACHINE/drive_c/flight.log")
  return 0
}

inf_growth() {
  local sizes=("$@") recorder n previous previous_n files
  echo
  echo "Runs of an INF with N command lines (half install-file, half registry)"
  for recorder in off on; do
    run_inf 0 0 "$recorder"
    local base="$MEDIAN"
    echo "  flight recorder $recorder: start-up (N = 0) $base s"
    row "N" "seconds" "us/command" "growth"
    previous="" previous_n=""
    for n in "${sizes[@]}"; do
      files=$((n / 2))
      run_inf "$files" $((n - files)) "$recorder"
      local own per growth=""
      own=$(awk -v t="$MEDIAN" -v b="$base" 'BEGIN {printf "%.4f", (t > b ? t - b : 0)}')
      per=$(awk -v o="$own" -v n="$n" 'BEGIN {printf "%.1f", o * 1e6 / n}')
      if [[ -n "$previous" ]]; then
        growth=$(ratio "$own" "$previous")
        local allowed
        allowed=$(awk -v a="$n" -v b="$previous_n" 'BEGIN {print 1.2 * a / b}')
        if [[ "$MODE" == short ]]; then
          echo "    (growth ${growth} for $((n / previous_n))x the lines; target <= $allowed, printed only)"
        else
          check "growth $growth for $((n / previous_n))x the lines <= $allowed (recorder $recorder)" \
            "$growth <= $allowed"
        fi
      fi
      row "$n" "$MEDIAN" "$per" "$growth"
      previous="$own" previous_n="$n"
      [[ "$recorder" == on ]] && echo "    ($LOG_LINES flight recorder lines, peak $(mb "$PEAK"))"
    done
  done
}

# ---------------------------------------------------------------- own time
# On the simulated machine every platform call resolves its path on a real file system without
# regard to case, which costs far more than the call on Windows. The utility's own time is
# therefore sampled: perf's cpu-clock with call chains, each sample charged to the platform
# when its chain passes through the platform layer (bench/attribute_samples.awk).
SAMPLING=0
if command -v perf >/dev/null &&
  perf record -q -e cpu-clock -o "$WORK/probe.data" -- true >/dev/null 2>&1; then
  SAMPLING=1
fi
rm -f "$WORK/probe.data"

# sample_inf FILES REGS RECORDER: the medians over RUNS sampled runs of that INF, in
# milliseconds: OWN_MS (the product's), PLATFORM_MS, UNKNOWN_MS (chains the unwinder lost,
# within OWN_MS), APPEND_MS (the platform's text-file appends, within PLATFORM_MS). The
# program is perf's own child: started through env, its samples would be looked up in the
# maps of the program before the exec.
sample_inf() {
  prepare_package "$1" "$2"
  [[ "$3" == on ]] && flight_recorder_on "$PRISTINE"
  local own=() platform=() unknown=() append=() i o p u a
  for ((i = 0; i < RUNS; i++)); do
    restore_machine
    sync
    (cd "$MACHINE/drive_c/Pkg" && WINSIM_MACHINE="$MACHINE" perf record -q -e cpu-clock -F 4000 \
      --call-graph dwarf,8192 -o "$WORK/perf.data" -- "$DADAZADO" "${PRODUCT_ARGS[@]}") >"$WORK/out" 2>&1 || {
      echo "bench: sampled run failed" >&2
      cat "$WORK/out" >&2
      exit 2
    }
    read -r _ o _ p _ u _ a < <(perf script -i "$WORK/perf.data" -F period,ip,sym,dso 2>/dev/null |
      awk -v program="$DADAZADO" -f "$ROOT/bench/attribute_samples.awk")
    own+=("$o") platform+=("$p") unknown+=("$u") append+=("$a")
    rm -f "$WORK/perf.data"
  done
  OWN_MS=$(median "${own[@]}") PLATFORM_MS=$(median "${platform[@]}")
  UNKNOWN_MS=$(median "${unknown[@]}") APPEND_MS=$(median "${append[@]}")
  LOG_LINES=0
  [[ -f "$MACHINE/drive_c/flight.log" ]] && LOG_LINES=$(wc -l <"$MACHINE/drive_c/flight.log")
  return 0
}
# per MS COUNT: microseconds each.
per() { awk -v m="$1" -v n="$2" 'BEGIN {printf "%.1f", m * 1000 / n}'; }

# The utility's cost per install-file command beyond the copy, and per registry line: wall
# time on the simulated machine, and the utility's own share of it, sampled.
per_command_cost() {
  local n="$1"
  echo
  echo "Cost per command, $n commands of one kind, against N = 0"
  run_inf 0 0 off
  local base="$MEDIAN"
  run_inf "$n" 0 off
  local files="$MEDIAN"
  local copy
  set_aside "$WORK/copies"
  sync
  copy=$("$INPUT" copy "$PRISTINE/drive_c/Pkg/SMALL.DLL" "$WORK/copies" "$n")
  set_aside "$WORK/copies"
  echo "  install-file: $(awk -v t="$files" -v b="$base" -v n="$n" 'BEGIN {printf "%.1f", (t - b) * 1e6 / n}') us a command" \
    "on the simulated machine, platform calls included; the host's copy of the file" \
    "$(awk -v c="$copy" -v n="$n" 'BEGIN {printf "%.1f", c * 1e6 / n}') us"
  run_inf 0 "$n" off
  echo "  registry line: $(awk -v t="$MEDIAN" -v b="$base" -v n="$n" 'BEGIN {printf "%.1f", (t - b) * 1e6 / n}') us a command"

  # Lines that record their file for the driver log one line each, so nearly every recorder
  # line is a command's; the same INF without the recorder is the base.
  INSTALL_LOG_KIND=2 run_inf "$n" 0 off
  local logged="$MEDIAN"
  INSTALL_LOG_KIND=2 run_inf "$n" 0 on
  local with_log="$MEDIAN" lines="$LOG_LINES" append
  sync
  append=$("$INPUT" append "$WORK/append.log" "$lines")
  rm -f "$WORK/append.log"
  HOST_APPEND_US=$(awk -v a="$append" -v l="$lines" 'BEGIN {printf "%.1f", a * 1e6 / l}')
  echo "  flight recorder: $lines lines, $(awk -v a="$with_log" -v b="$logged" -v l="$lines" \
    'BEGIN {printf "%.1f", (a - b) * 1e6 / l}') us a line more than without it (wall time);" \
    "the host's open-append-close alone: $HOST_APPEND_US us a line"
  if ((SAMPLING)); then
    own_time_sampled "$n"
  else
    echo "  (the utility's own time is not sampled: perf cannot record here)"
    [[ "$MODE" == short ]] || { echo "  FAIL: own time needs perf"; FAILED=1; }
  fi
}

own_time_sampled() {
  local n="$1" base_own base_platform own platform unknown off_own lines extra append
  echo "  sampled ($RUNS runs each, medians): the utility's own time, and the platform's"
  sample_inf 0 0 off
  base_own="$OWN_MS" base_platform="$PLATFORM_MS"
  sample_inf "$n" 0 off
  own=$(per "$(awk -v a="$OWN_MS" -v b="$base_own" 'BEGIN {print a - b}')" "$n")
  platform=$(per "$(awk -v a="$PLATFORM_MS" -v b="$base_platform" 'BEGIN {print a - b}')" "$n")
  unknown=$(per "$UNKNOWN_MS" "$n")
  echo "    install-file: $own us a command of its own (of it $unknown us in chains the unwinder" \
    "lost); $platform us in the platform's calls, the copy among them"
  INSTALL_LOG_KIND=2 sample_inf "$n" 0 off
  off_own="$OWN_MS"
  INSTALL_LOG_KIND=2 sample_inf "$n" 0 on
  lines="$LOG_LINES"
  extra=$(per "$(awk -v a="$OWN_MS" -v b="$off_own" 'BEGIN {print a - b}')" "$lines")
  append=$(per "$APPEND_MS" "$lines")
  echo "    flight recorder: $extra us a line of its own; $append us a line in the platform's" \
    "append (open, write, close) on the simulated machine, $HOST_APPEND_US us on the host"
  if [[ "$MODE" == short ]]; then
    echo "    (targets: install-file <= 20 us, the recorder's own cost <= 5 us a line; printed only)"
  else
    check "own time $own us per install-file command <= 20 us beyond the copy" "$own <= 20"
    check "recorder's own cost $extra us a line <= 5 us beside its open-append-close" "$extra <= 5"
  fi
}

# ---------------------------------------------------------------- Wine
# The Wine parity suite's demo scenario (every command kind) times the program's run on each
# side: the host build on the simulated machine, the x86_64 Windows build under Wine, both
# with their start-up (winsim exec; the wine loader).
wine_comparison() {
  local win="${BENCH_WIN_BUILD:-${BUILD_ROOT:-build}/build-win64}" runs="$RUNS" i
  echo
  echo "The demo scenario (every command kind) on the simulated machine and under Wine"
  if ! command -v wine >/dev/null || [[ ! -f "$win/app/dadazado.exe" ]]; then
    echo "  skipped: needs wine and the x86_64 Windows build in $win (scripts/build-windows.sh)"
    return 0
  fi
  # A parity run boots a Wine prefix first (about 20 s); short mode makes one.
  [[ "$MODE" == short ]] && runs=1
  local sims=() wines=() scenario="$BUILD/wine-parity/demo-every-command"
  for ((i = 0; i < runs; i++)); do
    WINE_PARITY_ONLY=demo-every-command "$ROOT/scripts/wine-parity.sh" "$BUILD" "$win" \
      >"$WORK/wine.out" 2>&1 || {
      echo "bench: the Wine parity run of the demo scenario failed" >&2
      cat "$WORK/wine.out" >&2
      exit 2
    }
    sims+=("$(cat "$scenario/sim/microseconds")") wines+=("$(cat "$scenario/wine/microseconds")")
  done
  rm -rf "$BUILD/wine-parity"
  local sim wine
  sim=$(median_seconds "${sims[@]}")
  wine=$(median_seconds "${wines[@]}")
  row "" "seconds" "" "ratio"
  row "simulated machine (host build)" "$sim" "" ""
  row "Wine $(wine --version 2>/dev/null | sed 's/^wine-//; s/ .*//') (x86_64 Windows build)" "$wine" "" \
    "$(ratio "$wine" "$sim")"
  echo "    ($runs run(s); the parity suite compares the two outcomes, see tests/wine)"
}

# ---------------------------------------------------------------- input shapes
# Inputs whose cost grows with the square of their size wherever one step is not linear: one
# INF line of N fields (the word splitter), N sibling registry keys (the key index), an INF of
# N sections each named by the install section (the section look-up).
write_shape_inf() {
  local shape="$1" n="$2"
  {
    printf '[Version]\r\nSignature="$Windows NT$"\r\nClass=Printer\r\n\r\n'
    printf '[Manufacturer]\r\n"Bench"=Bench.Models\r\n\r\n[Bench.Models]\r\n'
    printf '"Bench Printer" = BenchInstall, BenchId\r\n\r\n[BenchInstall]\r\n'
    case "$shape" in
      fields)
        printf 'AddReg=Bench.AddReg\r\n\r\n[Bench.AddReg]\r\nHKLM, SOFTWARE\\Bench, Wide, 0, "wide"'
        awk -v n="$n" 'BEGIN {s = ""; for (i = 0; i < 1000; i++) s = s ","
          for (i = 0; i < n / 1000; i++) printf "%s", s}'
        printf '\r\n' ;;
      keys)
        printf 'AddReg=Bench.AddReg\r\n\r\n[Bench.AddReg]\r\n'
        awk -v n="$n" 'BEGIN {for (i = 0; i < n; i++)
          printf "HKLM, SOFTWARE\\Bench\\Many\\Key%07d, Value, 0, \"%d\"\r\n", i, i}' ;;
      sections)
        printf 'AddReg='
        awk -v n="$n" 'BEGIN {for (i = 0; i < n; i++) printf "%sSec%07d", (i ? "," : ""), i}'
        printf '\r\n\r\n'
        awk -v n="$n" 'BEGIN {for (i = 0; i < n; i++)
          printf "[Sec%07d]\r\nHKLM, SOFTWARE\\Bench, V%d, 0, \"%d\"\r\n\r\n", i, i, i}' ;;
    esac
  } >"$PRISTINE/drive_c/Pkg/oem.inf"
}

# input_shapes DIVISOR: each shape at its size / DIVISOR and ten times that; the full sizes
# are held to 2 s and to about linear growth.
input_shapes() {
  local divisor="$1" shape base n small label growth allowed
  echo
  echo "Input shapes: one line of N fields, N sibling registry keys, N sections"
  row "input" "seconds" "peak" "growth"
  for shape in fields keys sections; do
    case "$shape" in
      fields) base=1000000 label="a line of %d fields" ;;
      keys) base=20000 label="%d sibling keys" ;;
      sections) base=10000 label="%d sections" ;;
    esac
    n=$((base / divisor))
    make_machine "$PRISTINE"
    write_shape_inf "$shape" "$n"
    measure restore_machine "${RUN_PRODUCT[@]}"
    small=$MEDIAN
    row "$(printf "$label" "$n")" "$MEDIAN" "$(mb "$PEAK")" ""
    write_shape_inf "$shape" $((n * 10))
    measure restore_machine "${RUN_PRODUCT[@]}"
    growth=$(ratio "$MEDIAN" "$small")
    row "$(printf "$label" $((n * 10)))" "$MEDIAN" "$(mb "$PEAK")" "$growth"
    allowed=12
    if ((divisor == 1)); then
      check "$(printf "$label" "$n"): $small s < 2 s" "$small < 2"
      check "$(printf "$label" "$n") x10: growth $growth <= $allowed" "$growth <= $allowed"
    else
      echo "    (targets at 10x this size: < 2 s, growth <= $allowed; printed only)"
    fi
  done
}

# ---------------------------------------------------------------- limits
ini_limit() {
  local bytes="$1" label="$2"
  prepare_package 0 0 "UpdateInis=Bench.Inis" $'[Bench.Inis]\r\nC:\\BIG.INI, Section7, Key3=, Key3=new value\r\n'
  "$INPUT" ini "$PRISTINE/drive_c/BIG.INI" "$bytes"
  measure restore_machine "${RUN_PRODUCT[@]}"
  grep -q "^Key3=new value" "$MACHINE/drive_c/BIG.INI" ||
    { echo "bench: the INI update did not land" >&2; exit 2; }
  row "INI update of a $label file" "$MEDIAN" "$(mb "$PEAK")" ""
  INI_SECONDS=$MEDIAN INI_PEAK=$PEAK
}

case "$MODE" in
  full)
    lz_comparison $((50 * 1024 * 1024)) "50 MB"
    check "LZ ratio $LZ_RATIO <= 1.0" "$LZ_RATIO <= 1.0"
    check "LZ peak $(mb "$LZ_PEAK") < 32 MB" "$LZ_PEAK < 32768"
    zip_comparison 2000 $((100 * 1024 * 1024)) "100 MB"
    check "zip ratio $ZIP_RATIO <= 1.0" "$ZIP_RATIO <= 1.0"
    check "zip peak $(mb "$ZIP_PEAK") < 32 MB" "$ZIP_PEAK < 32768"
    inf_growth 1000 10000 100000
    input_shapes 1
    per_command_cost 10000
    wine_comparison
    ;;
  short)
    lz_comparison $((4 * 1024 * 1024)) "4 MB"
    echo "    (ratio $LZ_RATIO; target <= 1.0 at 50 MB, printed only)"
    check "LZ peak $(mb "$LZ_PEAK") < 32 MB" "$LZ_PEAK < 32768"
    zip_comparison 200 $((8 * 1024 * 1024)) "8 MB"
    echo "    (ratio $ZIP_RATIO; target <= 1.0 at 100 MB, printed only)"
    check "zip peak $(mb "$ZIP_PEAK") < 32 MB" "$ZIP_PEAK < 32768"
    inf_growth 200 2000
    input_shapes 10
    per_command_cost 1000
    wine_comparison
    ;;
  limits)
    echo
    echo "Limits: peak memory and growth with the input"
    lz_comparison $((20 * 1024 * 1024)) "20 MB"
    local_small=$LZ_PEAK
    lz_comparison $((200 * 1024 * 1024)) "200 MB"
    check "200 MB SZDD peak $(mb "$LZ_PEAK") < 32 MB (20 MB: $(mb "$local_small"))" "$LZ_PEAK < 32768"
    zip_comparison 1000 $((50 * 1024 * 1024)) "50 MB"
    zip_comparison 10000 $((500 * 1024 * 1024)) "500 MB"
    check "10,000-member zip peak $(mb "$ZIP_PEAK") < 32 MB" "$ZIP_PEAK < 32768"
    echo
    row "" "seconds" "peak" ""
    ini_limit $((5 * 1024 * 1024)) "5 MB"
    small_ini=$INI_SECONDS
    ini_limit $((50 * 1024 * 1024)) "50 MB"
    check "50 MB INI peak $(mb "$INI_PEAK") < 32 MB" "$INI_PEAK < 32768"
    check "INI growth $(ratio "$INI_SECONDS" "$small_ini") for 10x the size <= 12" \
      "$(ratio "$INI_SECONDS" "$small_ini") <= 12"
    inf_growth 10000 100000
    run_inf 50000 50000 off
    check "100,000-line INF peak $(mb "$PEAK") < 64 MB" "$PEAK < 65536"
    ;;
esac

echo
if ((FAILED)); then echo "bench: some targets failed"; else echo "bench: every checked target holds"; fi
exit "$FAILED"
