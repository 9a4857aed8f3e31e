#!/usr/bin/env bash
# Installs the stack, builds everything and runs every test (unit, gl, e2e, fuzz) under a
# virtual X display, with warnings as errors. Then builds the program again with Clang in
# Release (build-clang/), so both compilers and the optimised build stay free of warnings;
# builds and runs the unit and GL tests under AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan/); runs every fuzz target for a few seconds on the instrumented build
# (scripts/fuzz.sh, build-fuzz/); and soaks the program for two minutes (scripts/soak.sh).
# Extra arguments go to the first CTest run. Every stage runs; exits non-zero when any fails.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh --tests || exit 1
status=0
stage() {  # stage NAME COMMAND...: runs and times one stage, remembering a failure
  local name=$1 began=$SECONDS
  shift
  echo "== $name"
  if "$@"; then
    echo "== $name: passed in $(( SECONDS - began )) s"
  else
    echo "== $name: FAILED in $(( SECONDS - began )) s"
    status=1
  fi
}
run_ctest() {  # run_ctest DIR ARGS...
  local dir=$1
  shift
  (cd "$dir" && export LC_ALL=C QUARN_NO_DIALOGS=1 ALSOFT_DRIVERS=null &&
   xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure --timeout 600 "$@")
}
build() {  # build DIR CMAKE-ARGS...
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DQUARN_WERROR=ON "$@" && cmake --build "$dir"
}

stage "build" build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
stage "tests" run_ctest build "$@"
stage "clang release build" build build-clang -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang
# The sanitizer build runs the unit (script included) and GL groups: the e2e group drives the
# same code through the window and would double the time.
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
stage "sanitizer build" build build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARN_SANITIZE=ON
# Instrumented frames are several times larger: the deepest scripts the engine accepts need
# more than the default 8 MB of stack there. The GL group runs without leak checks: Mesa's
# software rasteriser keeps allocations from code it compiles at run time, which no
# suppression by library name can reach.
sanitizer_tests() {
  (ulimit -s 65536 && run_ctest build-asan -L unit) &&
  (ulimit -s 65536 && ASAN_OPTIONS=detect_leaks=0 run_ctest build-asan -L gl)
}
stage "sanitizer tests" sanitizer_tests
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS
stage "fuzz smoke" bash scripts/fuzz.sh 5
# Two minutes cannot tell a slow leak from the heap settling after the 400 MB lines; a longer
# run (scripts/soak.sh 10) is held to the default 6 MB.
stage "soak" env QUARN_SOAK_GROWTH_KB=12288 bash scripts/soak.sh 2
exit $status
