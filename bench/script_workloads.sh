#!/usr/bin/env bash
# Runs the script workloads of bench/script_workloads/ in qscript, Lua 5.4 and CPython in one
# run and prints qscript's rate relative to each (rate = 1 / wall time; best of RUNS runs,
# process start-up included).
#
#   bench/script_workloads.sh [path/to/qscript]     (default: build/bin/qscript)
#   RUNS=5 bench/script_workloads.sh
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QSCRIPT=${1:-${QSCRIPT:-$ROOT/build/bin/qscript}}
WORK=$ROOT/bench/script_workloads
RUNS=${RUNS:-3}

for tool in "$QSCRIPT" lua5.4 python3; do
  if ! command -v "$tool" >/dev/null 2>&1; then
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

printf '%-8s %10s %10s %10s %14s %14s\n' workload qscript lua5.4 python3 'qscript/lua' 'qscript/python'
for workload in loop primes; do
  q=$(best_time "$QSCRIPT" "$WORK/$workload.qs"); q_out=$(cat "$OUTPUT")
  l=$(best_time lua5.4 "$WORK/$workload.lua"); l_out=$(tr '\t' ' ' <"$OUTPUT")
  p=$(best_time python3 "$WORK/$workload.py"); p_out=$(cat "$OUTPUT")
  # The loop's sum leaves 32 bits, where qscript's integers wrap; the prime count must agree.
  if [[ $workload == primes && ( $q_out != "$p_out" || $l_out != "$p_out" ) ]]; then
    echo "script_workloads: results differ: qscript '$q_out', lua '$l_out', python '$p_out'" >&2
    exit 1
  fi
  awk -v w="$workload" -v q="$q" -v l="$l" -v p="$p" 'BEGIN {
    printf "%-8s %9.3fs %9.3fs %9.3fs %14.2f %14.2f\n", w, q, l, p, l / q, p / q }'
done
