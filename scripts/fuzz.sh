#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for the given number of seconds (default 20),
# starting from the seeds in tests/fuzz/seeds. New inputs go to build/fuzz/corpus; a crash
# stops the run and leaves its input in build/fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" >/dev/null
for target in split run template; do
    corpus=build/fuzz/corpus/$target
    mkdir -p "$corpus"
    echo "fuzz_$target: $seconds s"
    build/fuzz/tests/fuzz/fuzz_$target "$corpus" "tests/fuzz/seeds/$target" \
        -max_total_time="$seconds" -max_len=4096 -artifact_prefix=build/fuzz/ -print_final_stats=1 \
        >"build/fuzz/fuzz_$target.log" 2>&1 || { tail -40 "build/fuzz/fuzz_$target.log"; exit 1; }
    grep -E "^stat::number_of_executed_units|^Done" "build/fuzz/fuzz_$target.log" | tr '\n' ' '
    echo
done
