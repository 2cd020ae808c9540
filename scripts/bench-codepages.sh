#!/usr/bin/env bash
# How well the code page of a mission's texts is told from their bytes:
# builds tools/benchcodepages.cpp in the given preset (dev by default: it
# measures accuracy, not time) and runs it; it prints the share of generated
# files told right per language and code page, by uchardet alone and by
# CodePageDetect, beside the aim (99 %), and exits with 1 when one is missed.
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-dev}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target qw_benchcodepages >/dev/null
"build/$preset/tools/qw_benchcodepages"
