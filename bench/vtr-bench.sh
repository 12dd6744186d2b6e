#!/usr/bin/env bash
# Speed and memory of the vehicle file on a large document (100 000 entries per ledger, about
# 1.2 million lines): vtrtool check (load + the five calculations) against wc -l, vtrtool save
# (load + write) against cp, and the peak memory of both, whole and above the tool's own
# baseline.
#
# usage: bench/vtr-bench.sh [BUILD_DIR] [RUNS]
#   BUILD_DIR  a Release build holding src/tools/vtrtool/vtrtool; built here (core only) when
#              missing. Default: build/bench-release
#   RUNS       runs per measure, the best one counts (default 5)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build=${1:-$root/build/bench-release}
runs=${2:-5}
entries=${ENTRIES:-100000}
tool=$build/src/tools/vtrtool/vtrtool
timer=/usr/bin/time
[ -x "$timer" ] || { echo "needs GNU time: apt-get install time" >&2; exit 2; }

if [ ! -x "$tool" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTEV_CORE_ONLY=ON \
    -DTEV_TESTS=OFF -DTEV_BENCH=OFF >/dev/null
  cmake --build "$build" --target vtrtool >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
big=$work/big.vtr
"$tool" generate --entries "$entries" --seed 1 "$big" >/dev/null
"$tool" generate --entries 0 "$work/tiny.vtr" >/dev/null
cat "$big" >/dev/null # page cache warm
size=$(stat -c %s "$big")
lines=$(wc -l <"$big")

# best_of CMD...: over the runs, the smallest wall time (s, bash's own clock, no timer process
# around the command), CPU time (user + sys, 10 ms resolution) and peak resident memory (KB), as
# "wall cpu kb".
best_of() {
  local best_wall="" best_cpu="" best_kb="" t0 t1 wall cpu user sys kb
  for ((i = 0; i < runs; i++)); do
    t0=$EPOCHREALTIME
    "$@" >/dev/null
    t1=$EPOCHREALTIME
    wall=$(echo "$t1 - $t0" | bc)
    "$timer" -f '%U %S %M' -o "$work/t" "$@" >/dev/null
    read -r user sys kb <"$work/t"
    cpu=$(echo "$user + $sys" | bc)
    if [ -z "$best_wall" ] || (($(echo "$wall < $best_wall" | bc))); then best_wall=$wall; fi
    if [ -z "$best_cpu" ] || (($(echo "$cpu < $best_cpu" | bc))); then best_cpu=$cpu; fi
    if [ -z "$best_kb" ] || ((kb < best_kb)); then best_kb=$kb; fi
  done
  echo "$best_wall $best_cpu $best_kb"
}

ratio() { echo "scale=1; $1 / $2" | bc; }

read -r wc_wall wc_cpu _ < <(best_of wc -l "$big")
read -r check_wall check_cpu check_kb < <(best_of "$tool" check "$big")
read -r cp_wall cp_cpu _ < <(best_of cp "$big" "$work/copy.vtr")
read -r save_wall save_cpu save_kb < <(best_of "$tool" save "$big" "$work/saved.vtr")
read -r _ _ base_kb < <(best_of "$tool" check "$work/tiny.vtr")
cmp -s "$big" "$work/saved.vtr" || { echo "save did not give the same bytes back" >&2; exit 1; }

mem() { echo "scale=2; ($1 - $base_kb) * 1024 / $size" | bc; }
whole() { echo "scale=2; $1 * 1024 / $size" | bc; }

echo "file: $entries entries per ledger, $lines lines, $size bytes; best of $runs runs; load: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-34s %9s %9s %s\n' "measure" "wall s" "cpu s" "ratio / target"
printf '%-34s %9s %9s\n' "wc -l" "$wc_wall" "$wc_cpu"
printf '%-34s %9s %9s %s\n' "vtrtool check" "$check_wall" "$check_cpu" "$(ratio "$check_wall" "$wc_wall")x wc -l wall (target 20x, aim 10x)"
printf '%-34s %9s %9s\n' "cp" "$cp_wall" "$cp_cpu"
printf '%-34s %9s %9s %s\n' "vtrtool save" "$save_wall" "$save_cpu" "$(ratio "$save_wall" "$cp_wall")x cp wall (target 10x)"
printf '%-34s %s\n' "peak memory, baseline" "$base_kb KB"
printf '%-34s %s\n' "peak memory, check" "$check_kb KB = $(whole "$check_kb")x file size (target 2x); $(mem "$check_kb")x above baseline"
printf '%-34s %s\n' "peak memory, save" "$save_kb KB = $(whole "$save_kb")x file size (target 2x); $(mem "$save_kb")x above baseline"

# Processor time, which a busy machine disturbs less than wall time: perf's task clock, when
# perf is there, of the best of the runs.
if command -v perf >/dev/null; then
  task_ms() {
    local best="" ms
    for ((i = 0; i < runs; i++)); do
      ms=$(perf stat -x, -e task-clock "$@" 2>&1 >/dev/null | awk -F, '/task-clock/ {print $1}')
      if [ -z "$best" ] || (($(echo "$ms < $best" | bc))); then best=$ms; fi
    done
    echo "$best"
  }
  wc_ms=$(task_ms wc -l "$big")
  check_ms=$(task_ms "$tool" check "$big")
  printf '%-34s %s\n' "processor time, wc -l / check" "$wc_ms ms / $check_ms ms = $(ratio "$check_ms" "$wc_ms")x (target 20x)"
fi
