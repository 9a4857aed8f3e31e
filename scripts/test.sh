#!/usr/bin/env bash
# Installs the stack, builds everything and runs every test (unit, gl, e2e, fuzz) under a
# virtual X display, with warnings as errors. Then builds the program again with Clang in
# Release (build-clang/), so both compilers and the optimised build stay free of warnings.
# Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARN_WERROR=ON
cmake --build build

(
  cd build
  export LC_ALL=C QUARN_NO_DIALOGS=1 ALSOFT_DRIVERS=null
  xvfb-run -a -s "-screen 0 1024x768x24" \
    ctest --output-on-failure --timeout 600 "$@"
)

cmake -S . -B build-clang -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUARN_WERROR=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang
cmake --build build-clang --target quarn qscript
