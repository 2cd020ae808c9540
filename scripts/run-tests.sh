#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test;
# then builds again with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test once more, leak checks included; then runs the reader's fuzz
# target (clang's libFuzzer) on a fixed number of inputs.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset dev
cmake --build --preset dev
ctest --preset dev

cmake --preset asan
cmake --build --preset asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --preset asan

cmake --preset fuzz
cmake --build --preset fuzz --target fuzz_strreader
corpus=build/fuzz/corpus
rm -rf "$corpus" && mkdir -p "$corpus" && cp tests/fuzz/seeds/* tests/data/corpus/* "$corpus"/
# A fixed seed (FUZZ_SEED) makes a run repeatable; an input that fails is
# kept in build/fuzz/artifacts and printed, so that it can be replayed with
#   build/fuzz/tests/fuzz/fuzz_strreader FILE
artifacts=build/fuzz/artifacts
rm -rf "$artifacts" && mkdir -p "$artifacts"
if ! build/fuzz/tests/fuzz/fuzz_strreader -seed="${FUZZ_SEED:-1}" -runs="${FUZZ_RUNS:-30000}" -max_len=4096 \
        -artifact_prefix="$artifacts/" "$corpus"; then
    for input in "$artifacts"/*; do
        [ -f "$input" ] || continue
        echo "The input that failed, $input, in hex:"
        od -A d -t x1 "$input" | head -n 64
    done
    exit 1
fi
