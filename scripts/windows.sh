#!/usr/bin/env bash
# Quillwright for Windows, from Debian 12 as root, in one go:
#   1. installs what is missing (MinGW-w64, Wine, NSIS, Xvfb, the Hunspell
#      dictionaries the packages ship, ...);
#   2. unpacks Qt for MinGW-w64 into build/ (from $QT_MINGW_ARCHIVE, else
#      ../shared/toolchains/qt-6.4.2-mingw64.tar.xz beside the project, else
#      builds it from Debian's source with scripts/build-qt-mingw64.sh), and
#      the static uchardet and Hunspell for MinGW-w64 into build/mingw64-libs (from
#      $MINGW_LIBS_ARCHIVE, else ../shared/toolchains/hunspell-uchardet-mingw64.tar.xz);
#   3. configures and builds with the "windows" preset (warnings as errors);
#   4. runs the whole test suite under Wine (a Wine prefix in build/windows,
#      an Xvfb display for the tests that show real windows), which also makes
#      the packages and installs, runs and uninstalls the installer;
#   5. leaves the packages in build/windows/packages:
#      quillwright-<version>-win64.exe (installer) and .zip (portable), each
#      with the dictionaries and licenses/INDEX.txt, the licence of every file.
# A second run redoes only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
start=$SECONDS
step() { printf '\n== %s  [%ds]\n' "$*" $((SECONDS - start)); }

step "1. Packages"
packages=(
    cmake ninja-build pkg-config git xz-utils unzip binutils procps
    qt6-base-dev qt6-base-dev-tools           # moc, rcc, uic: Qt's host tools
    g++-mingw-w64-x86-64-posix mingw-w64-tools
    wine wine64 fonts-wine fonts-dejavu-core  # the programs and tests run under Wine
    nsis                                      # the installer
    icoutils                                  # the .exe's icon, and reading it back
    xvfb xauth xdotool imagemagick            # a display, keys and pictures for the tests
    # The dictionaries the packages ship, each with its copyright file
    # (cmake/WindowsThirdParty.cmake)
    hunspell-en-us hunspell-pl hunspell-ru hunspell-de-de hunspell-fr-classical
    hunspell-it hunspell-cs hunspell-hu
)
bash scripts/install-packages.sh "${packages[@]}"

step "2. Qt for MinGW-w64"
qt_dir=build/qt-6.4.2-mingw64
archive=${QT_MINGW_ARCHIVE:-}
if [ -z "$archive" ] && [ -f ../shared/toolchains/qt-6.4.2-mingw64.tar.xz ]; then
    archive=../shared/toolchains/qt-6.4.2-mingw64.tar.xz
fi
if [ -z "$archive" ]; then
    archive=build/qt-6.4.2-mingw64.tar.xz
    if [ ! -f "$archive" ]; then
        echo "No prebuilt Qt for MinGW-w64: building it from Debian's source (about an hour)"
        bash scripts/build-qt-mingw64.sh build/qt-mingw64-build "$archive"
    fi
fi
archive=$(realpath "$archive")
stamp="$archive $(stat -c '%s %Y' "$archive")"
if [ "$(cat "$qt_dir/.unpacked-from" 2>/dev/null)" != "$stamp" ]; then
    echo "Unpacking $archive"
    rm -rf "$qt_dir"
    mkdir -p build
    tar -C build -xJf "$archive"
    test -f "$qt_dir/lib/cmake/Qt6/qt.toolchain.cmake" ||
        { echo "$archive did not unpack to $qt_dir" >&2; exit 1; }
    echo "$stamp" >"$qt_dir/.unpacked-from"
else
    echo "Already unpacked from $archive"
fi

step "2b. uchardet and Hunspell for MinGW-w64"
libs_dir=build/mingw64-libs
libs_archive=${MINGW_LIBS_ARCHIVE:-../shared/toolchains/hunspell-uchardet-mingw64.tar.xz}
[ -f "$libs_archive" ] || { echo "No $libs_archive: the static uchardet and Hunspell for MinGW-w64 are needed" >&2; exit 1; }
libs_archive=$(realpath "$libs_archive")
libs_stamp="$libs_archive $(stat -c '%s %Y' "$libs_archive")"
if [ "$(cat "$libs_dir/.unpacked-from" 2>/dev/null)" != "$libs_stamp" ]; then
    echo "Unpacking $libs_archive"
    rm -rf "$libs_dir"
    mkdir -p build
    tar -C build -xJf "$libs_archive"
    test -f "$libs_dir/lib/pkgconfig/uchardet.pc" && test -f "$libs_dir/lib/pkgconfig/hunspell.pc" ||
        { echo "$libs_archive did not unpack to $libs_dir" >&2; exit 1; }
    echo "$libs_stamp" >"$libs_dir/.unpacked-from"
else
    echo "Already unpacked from $libs_archive"
fi

step "3. Configure and build (preset windows)"
cmake --preset windows >build/windows-configure.log 2>&1 || { cat build/windows-configure.log; exit 1; }
cmake --build --preset windows

step "4. Every test under Wine"
# The tests' Wine prefix, made once and kept (build/windows/wineprefix).
export WINEPREFIX=$root/build/windows/wineprefix
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "A new Wine prefix: $WINEPREFIX"
    wine wineboot --init >/dev/null 2>&1 || true
    wineserver -w
fi
# A display for the tests that show real windows (label "display"), kept for
# the run; one Wine server for all the tests, not one each.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >build/windows/xvfb.log 2>&1 &
xvfb=$!
finish() {
    wineserver -k 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -f "$displayfile"
}
trap finish EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$displayfile")"
wineserver -p
status=0
ctest --preset windows || status=$?
finish
trap - EXIT

step "5. Packages"
for package in build/windows/packages/quillwright-*-win64.{exe,zip}; do
    if [ -f "$package" ]; then
        printf '%8d KiB  %s\n' $(($(stat -c %s "$package") / 1024)) "$package"
    fi
done
step "Done (Windows leg: $((SECONDS - start)) s)"
exit "$status"
