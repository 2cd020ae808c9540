#!/usr/bin/env bash
# Regenerates the pictures in docs/screenshots from the running program: the
# splash and every tab, at 1x and (in docs/screenshots/2x) at 2x device pixel
# ratio. Needs the dev build (scripts/run-tests.sh makes it).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --build --preset dev --target qw_screenshots
export QT_QPA_PLATFORM=offscreen
./build/dev/tools/qw_screenshots docs/screenshots
QT_SCALE_FACTOR=2 ./build/dev/tools/qw_screenshots docs/screenshots/2x
