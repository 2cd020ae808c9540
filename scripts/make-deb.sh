#!/usr/bin/env bash
# Installs what is missing, makes a release build and packs it into a Debian
# package: build/release/packages/quillwright_<version>_<arch>.deb. Install it
# with: apt-get install ./build/release/packages/quillwright_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset release
cmake --build --preset release
cpack -G DEB --config build/release/CPackConfig.cmake -B build/release/packages
ls build/release/packages/quillwright_*.deb
