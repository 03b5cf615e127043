#!/usr/bin/env bash
# Runs the fuzz targets of a fuzz build, each for SECONDS from its seed
# corpus (tests/fuzz/corpus/NAME), with leak detection, a per-input time
# limit and a memory limit; any sanitizer report (UBSan included) ends the
# target as a failure. Prints one table row per target and exits non-zero
# when any target failed.
#
# Usage: run-fuzzers.sh [options] BUILD_DIR SECONDS [NAME...]
#   -j JOBS     targets run at once (default 1)
#   -k DIR      keep the grown corpus in DIR/corpus/NAME (read back on the
#               next run), the crash, timeout and leak inputs in
#               DIR/artifacts/NAME and the log in DIR/logs/NAME.log;
#               without it all of them go to a temporary folder, removed
#   -n          run the targets at nice 19
#   -t SECONDS  per-input time limit (default 10)
#   -m MB       resident memory limit per target (default 2048)
#   -s DIR      the seed corpora, DIR/NAME (default tests/fuzz/corpus)
# NAME limits the run to those targets (fuzz_NAME in BUILD_DIR).
#
# The CI's short run:  run-fuzzers.sh build-fuzz 10
# A long run:          run-fuzzers.sh -j 4 -n -k /work/fuzz-long build-fuzz 600
set -euo pipefail

jobs=1
keep=""
nice_cmd=()
input_timeout=10
rss_mb=2048
seeds_root=""
while getopts "j:k:nt:m:s:" option; do
  case $option in
    j) jobs=$OPTARG ;;
    k) keep=$OPTARG ;;
    n) nice_cmd=(nice -n 19) ;;
    t) input_timeout=$OPTARG ;;
    m) rss_mb=$OPTARG ;;
    s) seeds_root=$(cd "$OPTARG" && pwd) ;;
    *) sed -n '2,21p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
if [ $# -lt 2 ]; then
  sed -n '2,21p' "$0" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
seconds=$2
shift 2
seeds_root=${seeds_root:-"$(cd "$(dirname "$0")/.." && pwd)/tests/fuzz/corpus"}

targets=()
if [ $# -gt 0 ]; then
  for name in "$@"; do
    targets+=("$build/fuzz_${name#fuzz_}")
  done
else
  for target in "$build"/fuzz_*; do
    [ -x "$target" ] && targets+=("$target")
  done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no targets in $build" >&2
  exit 1
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if [ -n "$keep" ]; then
  mkdir -p "$keep"
  keep=$(cd "$keep" && pwd)
  mkdir -p "$keep/corpus" "$keep/artifacts" "$keep/logs"
fi

# Sanitizer reports end the run: UBSan is built recoverable in the fuzz
# build, so it is told to halt; leaks are checked after each input.
export ASAN_OPTIONS="detect_leaks=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:${UBSAN_OPTIONS:-}"

# The verdict of one finished run from its exit status and log.
verdict_of() {
  local status=$1 log=$2
  if grep -q "ERROR: libFuzzer: timeout" "$log"; then
    echo timeout
  elif grep -q "ERROR: LeakSanitizer" "$log"; then
    echo leak
  elif grep -q -e "ERROR: libFuzzer: out-of-memory" -e "malloc(.*) exceeds limit" "$log"; then
    echo out-of-memory
  elif grep -q "runtime error:" "$log"; then
    echo ubsan
  elif grep -q -e "ERROR: AddressSanitizer" -e "deadly signal" "$log"; then
    echo crash
  elif [ "$status" -ne 0 ]; then
    echo "failed ($status)"
  else
    echo ok
  fi
}

# Runs one target and writes its row to $scratch/rows/NAME.
run_one() {
  local target=$1
  local name
  name=$(basename "$target")
  name=${name#fuzz_}
  local corpus artifacts log
  if [ -n "$keep" ]; then
    corpus="$keep/corpus/$name"
    artifacts="$keep/artifacts/$name"
    log="$keep/logs/$name.log"
  else
    corpus="$scratch/corpus/$name"
    artifacts="$scratch/artifacts/$name"
    log="$scratch/logs/$name.log"
    mkdir -p "$scratch/logs"
  fi
  mkdir -p "$corpus" "$artifacts"
  local seeds=()
  if [ -d "$seeds_root/$name" ]; then
    seeds=("$seeds_root/$name")
  fi
  if [ ! -x "$target" ]; then
    echo "| $name | 0 | 0 | 0 | 0 | - | - | missing |" >"$scratch/rows/$name"
    return
  fi
  # New inputs go to the first folder; the seeds are only read. The time
  # limit per input is wall time, which a loaded machine can stretch (a
  # nice 19 process may wait a minute for the CPU): an input that timed out
  # is run again alone under a CPU-time limit of the same length. Finished
  # within it, the timeout was a stall: the input is kept as stall-*, and
  # fuzzing goes on for the rest of the time.
  local begin=$SECONDS status=0 runs=0 stalls=0 part=0 remaining cpu_used=0
  : >"$log"
  while :; do
    remaining=$((seconds - (SECONDS - begin)))
    if [ "$part" -gt 0 ] && [ "$remaining" -le 0 ]; then
      break
    fi
    [ "$remaining" -lt 1 ] && remaining=1
    status=0
    (
      cd "$artifacts"
      TIMEFORMAT='%U %S'
      time "${nice_cmd[@]}" "$target" -max_total_time="$remaining" -timeout="$input_timeout" \
        -rss_limit_mb="$rss_mb" -detect_leaks=1 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$corpus" "${seeds[@]}" >"$log.part" 2>&1
    ) 2>"$scratch/times/$name" || status=$?
    part=$((part + 1))
    cpu_used=$(awk -v c="$cpu_used" '{ printf "%.2f", c + $1 + $2 }' "$scratch/times/$name")
    local part_runs
    part_runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log.part" | tail -1)
    if [ -z "$part_runs" ]; then
      part_runs=$(grep -o '^#[0-9]*' "$log.part" | tail -1 | tr -d '#')
    fi
    runs=$((runs + ${part_runs:-0}))
    cat "$log.part" >>"$log"
    if [ "$(verdict_of "$status" "$log.part")" != timeout ]; then
      break
    fi
    local input
    input=$(ls -t "$artifacts"/timeout-* 2>/dev/null | head -1)
    [ -n "$input" ] || break
    local replay=0
    (
      cd "$artifacts"
      ulimit -t "$input_timeout"
      "${nice_cmd[@]}" "$target" -timeout=0 -runs=1 "$input" >/dev/null 2>&1
    ) 2>/dev/null || replay=$?
    if [ "$replay" -ne 0 ]; then
      echo "fuzz: $name: $(basename "$input") takes over ${input_timeout} s of CPU alone" >>"$log"
      break
    fi
    echo "fuzz: $name: $(basename "$input") runs alone within ${input_timeout} s of CPU: a stall, fuzzing on" >>"$log"
    mv "$input" "$artifacts/stall-$(basename "$input")"
    stalls=$((stalls + 1))
  done
  mv "$log.part" "$log.last"
  local wall=$((SECONDS - begin))
  local cpu
  cpu=$(awk -v c="$cpu_used" 'BEGIN { printf "%.0f", c }')
  local stats cov ft corp
  stats=$(grep '^#[0-9].*cov:' "$log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$stats")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$stats")
  corp=$(sed -n 's/.* corp: \([0-9]*\)\/.*/\1/p' <<<"$stats")
  local verdict
  verdict=$(verdict_of "$status" "$log.last")
  if [ "$stalls" -gt 0 ] && [ "$verdict" = ok ]; then
    verdict="ok ($stalls stalls)"
  fi
  printf '| %s | %.0f | %s | %s | %s | %s | %s | %s |\n' "$name" "${wall:-0}" "$cpu" \
    "${runs:-0}" "${corp:--}" "${cov:--}" "${ft:--}" "$verdict" >"$scratch/rows/$name"
  if [ "${verdict%% *}" != ok ]; then
    {
      echo "fuzz: $name: $verdict (log $log)"
      grep "^fuzz: $name: " "$log" || true
      if grep -q -e "ERROR:" -e "runtime error:" "$log.last"; then
        sed -n '/ERROR:\|runtime error:/,$p' "$log.last" | head -60
      else
        tail -40 "$log"
      fi
    } >"$scratch/failures/$name"
  fi
  rm -f "$log.last"
}

mkdir -p "$scratch/rows" "$scratch/times" "$scratch/failures"
running=0
for target in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  run_one "$target" &
  running=$((running + 1))
done
wait || true

echo "| target | wall s | CPU s | runs | corpus | cov | ft | verdict |"
echo "|---|---|---|---|---|---|---|---|"
passed=0
failed=0
total_runs=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  name=${name#fuzz_}
  row=$(cat "$scratch/rows/$name" 2>/dev/null || echo "| $name | - | - | 0 | - | - | - | no result |")
  echo "$row"
  runs=$(awk -F'|' '{ gsub(/ /, "", $5); print $5 + 0 }' <<<"$row")
  total_runs=$((total_runs + runs))
  if [ "$(awk -F'|' '{ gsub(/^ +| +$/, "", $9); split($9, w, " "); print w[1] }' <<<"$row")" = ok ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
done
for report in "$scratch"/failures/*; do
  [ -e "$report" ] && cat "$report"
done
echo "fuzz: $passed passed, $failed failed, $total_runs runs in all"
[ "$failed" -eq 0 ]
