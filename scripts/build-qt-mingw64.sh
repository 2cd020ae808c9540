#!/usr/bin/env bash
# Builds Qt for 64-bit Windows with Debian's MinGW-w64 compilers, from Debian's
# own qt6-base source (the same version as the installed host tools moc, rcc
# and uic), and packs the installed prefix into an archive that unpacks to a
# folder qt-6.4.2-mingw64/ (what scripts/windows.sh unpacks into build/).
# Only what Quillwright needs: Core, Gui, Widgets, Test; the windows, offscreen
# and minimal platform plugins; the Windows styles. About an hour on two cores.
# Debian 12, as root. scripts/windows.sh runs it when no prebuilt archive is
# at hand.
#   usage: build-qt-mingw64.sh [--configure-only] [WORKDIR] [ARCHIVE]
#   WORKDIR  defaults to build/qt-mingw64-build in the project
#   ARCHIVE  defaults to build/qt-6.4.2-mingw64.tar.xz in the project
#   --configure-only  stop after configuring Qt (to check the steps quickly)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

configure_only=false
if [ "${1:-}" = --configure-only ]; then
    configure_only=true
    shift
fi
work=$(realpath -m "${1:-$root/build/qt-mingw64-build}")
archive=$(realpath -m "${2:-$root/build/qt-6.4.2-mingw64.tar.xz}")
mkdir -p "$work"
# The project's own toolchain file, as for Quillwright itself.
toolchain=$root/cmake/mingw-w64-x86_64.cmake
# Inside the archive; Qt is relocatable, so where it is unpacked later does
# not matter.
prefix=/opt/qt-6.4.2-mingw64

export DEBIAN_FRONTEND=noninteractive
packages=(dpkg-dev cmake ninja-build xz-utils g++-mingw-w64-x86-64-posix mingw-w64-tools
          qt6-base-dev qt6-base-dev-tools)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ]; then
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The source of exactly the installed host tools' version.
version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev-tools)
upstream=${version%%+*}                       # 6.4.2
case "$upstream" in
    6.4.2) ;;
    *) echo "Debian's Qt is $upstream; this script and the project expect 6.4.2" >&2; exit 1 ;;
esac
source_dir=$work/qtbase-everywhere-src-$upstream

cd "$work"
if [ ! -d "$source_dir" ]; then
    if ! ls qt6-base_*.orig.tar.xz >/dev/null 2>&1; then
        # Debian's source packages: add deb-src lines for the sources in use.
        if ! grep -qs '^Types:.*deb-src' /etc/apt/sources.list.d/*.sources &&
            ! grep -qs '^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list; then
            if [ -f /etc/apt/sources.list.d/debian.sources ]; then
                sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
                    >/etc/apt/sources.list.d/debian-src.sources
            else
                sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >/etc/apt/sources.list.d/debian-src.list
            fi
        fi
        apt-get update -qq
        apt-get source --download-only "qt6-base=$version" >/dev/null
    fi
    echo "Unpacking Debian's qt6-base $version source"
    tar xJf qt6-base_*.orig.tar.xz
    # With OpenGL off, the windows platform plugin of 6.4.2 still takes its
    # dynamic-GL branch and does not compile: guard it with the OpenGL feature.
    sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
        "$source_dir/src/plugins/platforms/windows/qwindowswindow.cpp"
fi

mkdir -p build && cd build
if [ ! -f build.ninja ]; then
    echo "Configuring Qt (log: $work/build/configure.log)"
    # Tablet events are off: Debian's source leaves out the wintab header that
    # the windows platform plugin needs for them.
    cmake -G Ninja "$source_dir" \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_INSTALL_PREFIX=$prefix -DCMAKE_BUILD_TYPE=Release \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_icu=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF \
        -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF \
        -DFEATURE_openssl=OFF -DFEATURE_directwrite3=OFF \
        -DFEATURE_tabletevent=OFF >configure.log 2>&1 || { tail -30 configure.log; exit 1; }
fi
if $configure_only; then
    echo "Qt is configured in $work/build (--configure-only: not built)"
    exit 0
fi

echo "Building Qt (log: $work/build/build.log; about an hour on two cores)"
ninja >build.log 2>&1 || { tail -30 build.log; exit 1; }
rm -rf "$work/stage"
DESTDIR="$work/stage" ninja install >install.log 2>&1 || { tail -30 install.log; exit 1; }
mkdir -p "$(dirname "$archive")"
tar -C "$work/stage$(dirname $prefix)" -cJf "$archive" "$(basename $prefix)"
echo "$archive"
