# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compilers (the
# -posix ones: Qt needs their threads). Not given to CMake directly: the Qt for
# MinGW prefix's own toolchain file chain-loads it, see the "windows" preset:
#   -DCMAKE_TOOLCHAIN_FILE=<qt>/lib/cmake/Qt6/qt.toolchain.cmake
#   -DQT_CHAINLOAD_TOOLCHAIN_FILE=<this file> -DQT_HOST_PATH=/usr
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_qw_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_qw_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_qw_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_qw_mingw}-windres)
# CMake cannot guess the binutils' prefix from a compiler name ending in
# "-posix": name them. CMAKE_OBJDUMP also reads the DLLs that a program needs
# (install(RUNTIME_DEPENDENCY_SET), cmake/Windows.cmake).
find_program(CMAKE_AR ${_qw_mingw}-ar REQUIRED)
find_program(CMAKE_RANLIB ${_qw_mingw}-ranlib REQUIRED)
find_program(CMAKE_OBJDUMP ${_qw_mingw}-objdump REQUIRED)
find_program(CMAKE_STRIP ${_qw_mingw}-strip REQUIRED)

# Libraries, headers and packages come from the target's root only; programs
# (moc, rcc, uic, windres, ...) always from the build machine.
# The static libraries scripts/windows.sh unpacks into build/mingw64-libs
# (uchardet, found through pkg-config) are a root of their own.
get_filename_component(_qw_mingw_libs "${CMAKE_CURRENT_LIST_DIR}/../build/mingw64-libs" ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${_qw_mingw} ${_qw_mingw_libs})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
