#!/usr/bin/env bash
# How spelling keeps up: builds tools/benchspelling.cpp in the given preset
# (release by default) and runs it on the offscreen platform; it makes a large
# dictionary and a 400-file mission in a temporary folder and prints the
# longest stall while the dictionary loads, the time of one key typed into a
# 100 KB page with checking on, and the time to check the mission, each
# beside its aim.
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-release}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target qw_benchspelling >/dev/null
QT_QPA_PLATFORM=offscreen "build/$preset/tools/qw_benchspelling"
