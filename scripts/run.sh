#!/usr/bin/env bash
# Installs the stack, builds the program and starts the demo. Arguments go to quarn
# (for example: scripts/run.sh --windowed).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target quarn quarn_data
exec build/bin/quarn "$@"
