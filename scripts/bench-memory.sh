#!/usr/bin/env bash
# Peak memory at idle: the program against a bare Qt window with a tab widget,
# both built the same way and run on the offscreen platform, one after the
# other. Each is run five times and its median peak (VmHWM, in MiB) is kept,
# so one slow start does not decide the figure. Prints both and their ratio
# beside its aim (at most 1.10: no dictionary is loaded until a text is
# spelled). Linux only (/proc).
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-release}
runs=${RUNS:-5}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target quillwright qw_barewindow >/dev/null
build=build/$preset

peak_kib() {
    QT_QPA_PLATFORM=offscreen "$@" >/dev/null 2>&1 &
    local pid=$!
    sleep 4   # past the one-second splash, the main window shown and idle
    local kib
    kib=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$kib"
}

median_kib() {
    for _ in $(seq "$runs"); do peak_kib "$@"; done | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

app=$(median_kib "$build/src/quillwright")
bare=$(median_kib "$build/tools/qw_barewindow")
awk -v a="$app" -v b="$bare" 'BEGIN {
    printf "quillwright: %.1f MiB\nbare window: %.1f MiB\nratio: %.2f   (aim <= 1.10)%s\n", a / 1024, b / 1024,
           a / b, a / b <= 1.10 ? "" : "   MISSED" }'
