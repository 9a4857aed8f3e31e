#!/usr/bin/env bash
# Runs the script workloads of bench/script_workloads/ in qscript, Lua 5.4 and CPython (the
# system's own interpreters, not whatever comes first on PATH) and prints qscript's speed
# relative to each (speed = 1 / wall time, best of RUNS runs, process start-up included), then
# the worst ratio to CPython.
#
#   bench/script_workloads.sh [path/to/qscript]     (default: build/bin/qscript)
#   RUNS=5 bench/script_workloads.sh
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QSCRIPT=${1:-${QSCRIPT:-$ROOT/build/bin/qscript}}
WORK=$ROOT/bench/script_workloads
RUNS=${RUNS:-5}
PYTHON=/usr/bin/python3
LUA=/usr/bin/lua5.4

for tool in "$QSCRIPT" "$LUA" "$PYTHON"; do
  if [[ ! -x $tool ]]; then
    echo "script_workloads: $tool not found (build qscript; scripts/setup.sh installs lua5.4)" >&2
    exit 2
  fi
done

# Best wall time in seconds of RUNS runs of a command; its output goes to $OUTPUT.
best_time() {
  local best="" start end elapsed
  for ((run = 0; run < RUNS; run++)); do
    start=$(date +%s%N)
    "$@" >"$OUTPUT"
    end=$(date +%s%N)
    elapsed=$((end - start))
    if [[ -z $best || $elapsed -lt $best ]]; then best=$elapsed; fi
  done
  awk -v ns="$best" 'BEGIN { printf "%.3f", ns / 1e9 }'
}

OUTPUT=$(mktemp)
trap 'rm -f "$OUTPUT"' EXIT

worst=""
printf '%-8s %10s %10s %10s %14s %14s\n' workload qscript lua5.4 python3 'qscript/lua' 'qscript/python'
for workload in sum primes strings array; do
  q=$(best_time "$QSCRIPT" "$WORK/$workload.qs"); q_out=$(cat "$OUTPUT")
  l=$(best_time "$LUA" "$WORK/$workload.lua"); l_out=$(tr '\t' ' ' <"$OUTPUT")
  p=$(best_time "$PYTHON" "$WORK/$workload.py"); p_out=$(cat "$OUTPUT")
  # The sum leaves 32 bits, where qscript's integers wrap; the other results must agree.
  if [[ $workload != sum && ( $q_out != "$p_out" || $l_out != "$p_out" ) ]]; then
    echo "script_workloads: $workload results differ: qscript '$q_out', lua '$l_out', python '$p_out'" >&2
    exit 1
  fi
  ratio=$(awk -v q="$q" -v p="$p" 'BEGIN { printf "%.2f", p / q }')
  awk -v w="$workload" -v q="$q" -v l="$l" -v p="$p" 'BEGIN {
    printf "%-8s %9.3fs %9.3fs %9.3fs %14.2f %14.2f\n", w, q, l, p, l / q, p / q }'
  if [[ -z $worst ]] || awk -v r="$ratio" -v w="$worst" 'BEGIN { exit !(r < w) }'; then
    worst=$ratio
  fi
done
echo "worst qscript/python: $worst"
