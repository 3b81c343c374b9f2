#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for the given number of seconds
# (default 600) over its corpus, seeded from fuzz/seeds/<target>/.
#   fuzz/run.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift || true

build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DHARVEL_FUZZ=ON -DHARVEL_TESTS=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    mapfile -t targets < <(sed -n 's/^harvel_fuzz_target(\([a-z_]*\) .*/\1/p' fuzz/CMakeLists.txt)
fi

status=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    seeds=()
    [ -d "fuzz/seeds/$target" ] && seeds=("fuzz/seeds/$target")
    log="$build/$target.log"
    if "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
           -artifact_prefix="$build/$target-" "$corpus" "${seeds[@]}" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz $target: ${seconds}s, ${runs:-?} executions, no finding"
    else
        echo "fuzz $target: FINDING, see $log" >&2
        tail -n 30 "$log" >&2
        status=1
    fi
done
exit $status
