#!/usr/bin/env bash
# How long the window stops answering while a 10,000-file mission is read and
# searched, and while 15,000 matches in 4,000 files are replaced and saved:
# builds tools/benchstall.cpp in the given preset (release by default) and
# runs it on the offscreen platform; it generates the missions in temporary
# folders and prints the longest gap of the GUI thread's event loop beside
# its aim.
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-release}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target qw_benchstall >/dev/null
QT_QPA_PLATFORM=offscreen "build/$preset/tools/qw_benchstall"
