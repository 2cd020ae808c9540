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
build/fuzz/tests/fuzz/fuzz_strreader -runs="${FUZZ_RUNS:-30000}" -max_len=4096 "$corpus"
