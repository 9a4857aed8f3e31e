#!/usr/bin/env bash
# Installs the stack, builds the program and starts the demo. Arguments go to quarn
# (for example: scripts/run.sh --windowed).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# The program and everything it loads by name; the tests are built by scripts/test.sh.
cmake --build build --parallel "$(nproc)" --target quarn quarn_data quarn_font demo_bot \
  demo_soundset qscript
exec build/bin/quarn "$@"
