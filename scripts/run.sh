#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release --parallel "$(nproc)"

program=build/release/src/app/harvel
if [ ! -x "$program" ]; then
    echo "Harvel's main window is not built yet: this checkout holds the device-line and" >&2
    echo "time-text core only. Run scripts/test.sh to check it." >&2
    exit 1
fi
exec "$program" "$@"
