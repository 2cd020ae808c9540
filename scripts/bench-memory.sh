#!/usr/bin/env bash
# Peak memory at idle: the program against a bare Qt window with a tab widget,
# both built the same way and run side by side on the offscreen platform.
# Prints each peak (VmHWM, in MiB) and their ratio. Linux only (/proc).
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-dev}
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

app=$(peak_kib "$build/src/quillwright")
bare=$(peak_kib "$build/tools/qw_barewindow")
awk -v a="$app" -v b="$bare" 'BEGIN {
    printf "quillwright: %.1f MiB\nbare window: %.1f MiB\nratio: %.2f\n", a / 1024, b / 1024, a / b }'
