#!/usr/bin/env bash
# Runs the script workloads of bench/script_workloads/ (every NAME.qs with its NAME.lua and
# NAME.py) in qscript, Lua 5.4, LuaJIT's interpreter (luajit -joff, the same .lua file) and
# CPython (the system's own interpreters, not whatever comes first on PATH) and prints
# qscript's speed relative to each. The four run in turn, PAIRS times; each turn's CPU time
# (user + system, process start-up included) gives one ratio per reference, and the median
# ratio is printed: on a shared host a best-of-N wall time swings by a third, a paired median
# of CPU time little.
#
#   bench/script_workloads.sh [path/to/qscript] [qscript options...]   (default: build/bin/qscript)
#   PAIRS=7 bench/script_workloads.sh
#   WORKLOADS="mandel matmul" bench/script_workloads.sh
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QSCRIPT=${1:-${QSCRIPT:-$ROOT/build/bin/qscript}}
shift || true
QOPTIONS=("$@")
WORK=$ROOT/bench/script_workloads
PAIRS=${PAIRS:-5}
PYTHON=/usr/bin/python3
LUA=/usr/bin/lua5.4
LUAJIT=/usr/bin/luajit
if [[ -n ${WORKLOADS:-} ]]; then
  read -r -a NAMES <<<"$WORKLOADS"
else
  NAMES=()
  for file in "$WORK"/*.qs; do NAMES+=("$(basename "$file" .qs)"); done
fi

for tool in "$QSCRIPT" "$LUA" "$LUAJIT" "$PYTHON"; do
  if [[ ! -x $tool ]]; then
    echo "script_workloads: $tool not found (build qscript; scripts/setup.sh installs lua5.4 and luajit)" >&2
    exit 2
  fi
done

OUTPUT=$(mktemp)
trap 'rm -f "$OUTPUT"' EXIT

# CPU seconds (user + system, to the microsecond) of one run of a command; its output goes to
# $OUTPUT.
cpu_time() {
  "$PYTHON" -c '
import resource, subprocess, sys
with open(sys.argv[1], "wb") as out:
    subprocess.run(sys.argv[2:], stdout=out, check=True)
usage = resource.getrusage(resource.RUSAGE_CHILDREN)
print("%.4f" % (usage.ru_utime + usage.ru_stime), end="")' "$OUTPUT" "$@"
}

# The median of numbers separated by spaces, with DIGITS decimals.
median_of() { tr ' ' '\n' | sed '/^$/d' | sort -g | awk -v d="$1" '{ v[NR] = $1 } END {
  m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.*f", d, m }'; }
median() { median_of 2; }
median3() { median_of 3; }

# One reference's ratio for a turn: its time over qscript's.
ratio() { awk -v q="$1" -v r="$2" 'BEGIN { printf "%.4f", r / (q > 0 ? q : 0.001) }'; }

worst_lua="" worst_python=""
printf '%-9s %9s %9s %9s %9s %7s %8s %9s\n' workload qscript lua5.4 luajit python3 'x lua' \
  'x luajit' 'x python'
for workload in "${NAMES[@]}"; do
  lua_ratios="" jit_ratios="" python_ratios="" q_times="" l_times="" j_times="" p_times=""
  for ((pair = 0; pair < PAIRS; pair++)); do
    q=$(cpu_time "$QSCRIPT" "${QOPTIONS[@]}" "$WORK/$workload.qs"); q_out=$(cat "$OUTPUT")
    l=$(cpu_time "$LUA" "$WORK/$workload.lua"); l_out=$(tr '\t' ' ' <"$OUTPUT")
    j=$(cpu_time "$LUAJIT" -joff "$WORK/$workload.lua"); j_out=$(tr '\t' ' ' <"$OUTPUT")
    p=$(cpu_time "$PYTHON" "$WORK/$workload.py"); p_out=$(cat "$OUTPUT")
    # The sum leaves 32 bits, where qscript's integers wrap (and LuaJIT prints it as a float);
    # the other results must agree.
    if [[ $workload != sum && ( $q_out != "$p_out" || $l_out != "$p_out" || $j_out != "$p_out" ) ]]; then
      echo "script_workloads: $workload results differ: qscript '$q_out', lua '$l_out'," \
        "luajit '$j_out', python '$p_out'" >&2
      exit 1
    fi
    lua_ratios+=" $(ratio "$q" "$l")" jit_ratios+=" $(ratio "$q" "$j")"
    python_ratios+=" $(ratio "$q" "$p")"
    q_times+=" $q" l_times+=" $l" j_times+=" $j" p_times+=" $p"
  done
  lua_ratio=$(median <<<"$lua_ratios") python_ratio=$(median <<<"$python_ratios")
  printf '%-9s %8ss %8ss %8ss %8ss %7s %8s %9s\n' "$workload" "$(median3 <<<"$q_times")" \
    "$(median3 <<<"$l_times")" "$(median3 <<<"$j_times")" "$(median3 <<<"$p_times")" \
    "$lua_ratio" "$(median <<<"$jit_ratios")" "$python_ratio"
  if [[ -z $worst_lua ]] || awk -v r="$lua_ratio" -v w="$worst_lua" 'BEGIN { exit !(r < w) }'; then
    worst_lua=$lua_ratio
  fi
  if [[ -z $worst_python ]] || awk -v r="$python_ratio" -v w="$worst_python" 'BEGIN { exit !(r < w) }'; then
    worst_python=$python_ratio
  fi
done
echo "paired medians of CPU time over $PAIRS pairs; worst x lua: $worst_lua, worst x python: $worst_python"
