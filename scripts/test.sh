#!/usr/bin/env bash
# Installs the stack, builds everything and runs every test (unit, gl, e2e, fuzz) under a
# virtual X display. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build

cd build
export LC_ALL=C QUARN_NO_DIALOGS=1 ALSOFT_DRIVERS=null
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --output-on-failure --timeout 600 "$@"
