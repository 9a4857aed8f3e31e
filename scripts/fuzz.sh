#!/usr/bin/env bash
# Builds every fuzz target as a libFuzzer binary over libraries instrumented for coverage,
# AddressSanitizer and UndefinedBehaviorSanitizer (build-fuzz/, Clang), then runs each target
# in turn for SECONDS (default 60) with its corpus and dictionary, and prints per target:
# runs, runs per second, coverage (edges) and findings. Exits non-zero on any finding.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# Inputs that add coverage collect in build-fuzz/corpus/TARGET. QUARN_FUZZ_MERGE=1 merges
# them into the committed corpus fuzz/TARGET/corpus, keeping only those that add coverage.
# Findings (crash-*, leak-*, timeout-*, oom-*) are left in build-fuzz/findings/TARGET.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARN_LIBFUZZER=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null || exit 1
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in fuzz/*/; do
    [ -f "$dir/target.cpp" ] && targets+=("$(basename "$dir")")
  done
fi
cmake --build build-fuzz --target "${targets[@]/#/fuzz_}" || exit 1

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=0
printf '%-12s %10s %8s %8s  %s\n' target runs runs/s cov findings
for t in "${targets[@]}"; do
  work=build-fuzz/corpus/$t findings=build-fuzz/findings/$t log=build-fuzz/findings/$t.log
  mkdir -p "$work" "$findings"
  rm -f "$findings"/*
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=3072 -print_final_stats=1
        -artifact_prefix="$findings/" "$work" "fuzz/$t/corpus")
  [ -f "fuzz/$t/dictionary.txt" ] && args=(-dict="fuzz/$t/dictionary.txt" "${args[@]}")
  build-fuzz/fuzz/fuzz_"$t" "${args[@]}" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  found=$(find "$findings" -type f | wc -l)
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=1
    [ "$found" -eq 0 ] && found="exit $status (see $log)"
  fi
  printf '%-12s %10s %8s %8s  %s\n' "$t" "${runs:-?}" "${rate:-?}" "${cov:-?}" "$found"
  if [ "${QUARN_FUZZ_MERGE:-0}" = 1 ] && [ "$status" -eq 0 ]; then
    build-fuzz/fuzz/fuzz_"$t" -merge=1 "fuzz/$t/corpus" "$work" >"$log.merge" 2>&1 || failed=1
  fi
done
exit $failed
