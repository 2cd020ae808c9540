#!/usr/bin/env bash
# Installs what building and testing Quillwright needs on Debian 12, skipping
# the packages that are already there. Run as root.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    fonts-dejavu-core
    libicu-dev
    libuchardet-dev
    libxml2-utils gettext
    libhunspell-dev
    python3-jsonschema
    hunspell hunspell-pl manpages-pl
    clang libclang-rt-14-dev
    desktop-file-utils appstream shared-mime-info
    dpkg-dev file
)

bash "$(dirname "$0")/install-packages.sh" "${packages[@]}"
