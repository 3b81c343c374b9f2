#!/usr/bin/env bash
# Builds and runs every test: a warnings-as-errors build, a short run of each fuzz
# target over its seeds, then the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
parallel=$(nproc)

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DHARVEL_WERROR=ON -DHARVEL_BENCH=ON >/dev/null
cmake --build build/release --parallel "$parallel"
ctest --test-dir build/release --output-on-failure --parallel "$parallel"

fuzz/run.sh "${HARVEL_FUZZ_SECONDS:-5}"

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DHARVEL_WERROR=ON -DHARVEL_SANITIZE=ON >/dev/null
cmake --build build/asan --parallel "$parallel"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build/asan --output-on-failure --parallel "$parallel"
