#!/usr/bin/env bash
# How long find takes in a 400-file mission: builds tools/benchfind.cpp in the
# given preset (release by default) and runs it; it generates the mission in
# a temporary folder and prints the median time of each search.
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-release}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target qw_benchfind >/dev/null
"build/$preset/tools/qw_benchfind"
