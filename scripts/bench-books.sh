#!/usr/bin/env bash
# The largest book's handlers, opening a 5 MB book, memory per stored
# character and reading 16 MB pathological files, on the offscreen platform,
# in an optimised build. Prints each figure beside its aim. Linux only (/proc).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-release}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target qw_benchbooks >/dev/null
QT_QPA_PLATFORM=offscreen "build/$preset/tools/qw_benchbooks"
