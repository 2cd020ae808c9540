# Quillwright for 64-bit Windows, cross-built on Debian with MinGW-w64 (the
# "windows" preset; scripts/windows.sh does everything from a clean machine).
# Included by the top-level CMakeLists.txt when WIN32, before GNUInstallDirs
# and before any target exists:
#   - the install layout: everything in one folder, quillwright.exe at its top;
#   - the test programs run under Wine (CMAKE_CROSSCOMPILING_EMULATOR);
# and defines qw_windows_program(<target>), called once the targets exist:
#   - the program's icon (made from dist/icons/hicolor);
#   - the DLLs and Qt plugins the program needs, installed beside it.
# The Windows packages (NSIS installer, ZIP) are in cmake/WindowsPackaging.cmake,
# the dictionaries and licences they carry in cmake/WindowsThirdParty.cmake.

# One folder, as Windows programs are laid out: quillwright.exe, its DLLs and
# the Qt plugin folders side by side.
set(CMAKE_INSTALL_BINDIR .)

# The MinGW-w64 runtime DLLs (libstdc++-6, libgcc_s_seh-1, libwinpthread-1):
# where the compiler keeps them.
function(_qw_mingw_dll_dir out dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
    endif()
    get_filename_component(dir "${path}" DIRECTORY)
    get_filename_component(dir "${dir}" REALPATH)
    set(${out} "${dir}" PARENT_SCOPE)
endfunction()
_qw_mingw_dll_dir(_qw_gcc_dll_dir libstdc++-6.dll)
_qw_mingw_dll_dir(_qw_pthread_dll_dir libwinpthread-1.dll)

# The Qt for MinGW prefix: the folder above the one holding Qt6Core.dll.
get_target_property(_qw_qtcore_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT _qw_qtcore_dll)
    get_target_property(_qw_qtcore_dll Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(QW_QT_BIN_DIR "${_qw_qtcore_dll}" DIRECTORY)
get_filename_component(QW_QT_PREFIX "${QW_QT_BIN_DIR}" DIRECTORY)

# The static libraries for MinGW-w64 (uchardet), as scripts/windows.sh
# unpacks them; the windows preset points pkg-config into it.
set(QW_MINGW_LIBS "${PROJECT_SOURCE_DIR}/build/mingw64-libs" CACHE PATH
    "The static libraries for MinGW-w64 (hunspell-uchardet-mingw64.tar.xz unpacked)")

# The packages' name (cmake/WindowsPackaging.cmake, tests/windows).
set(QW_WINDOWS_PACKAGE_NAME "quillwright-${PROJECT_VERSION}-win64")

# Where the program's DLLs are looked for, at build and at install time.
set(QW_WINDOWS_DLL_DIRS "${QW_QT_BIN_DIR}" "${_qw_gcc_dll_dir}" "${_qw_pthread_dll_dir}")

# ---------------------------------------------------------------------------
# Tests under Wine. CTest starts every test program through cmake/wine-run.sh
# (configured into the build folder as wine-run.sh): a Wine prefix of its own
# in the build folder, the DLL folders on WINEPATH, the QT_* variables of the
# test's ENVIRONMENT handed on as WINEQT_* (Wine keeps QT_* to itself), Qt's
# plugin folder, and Debian's DejaVu fonts for the offscreen platform.
find_program(QW_WINE NAMES wine wine64 DOC "Wine, to run the Windows test programs")
if(NOT QW_WINE)
    message(WARNING "Wine was not found: the Windows tests cannot run here (install the wine package)")
    set(QW_WINE wine)
endif()
set(QW_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix" CACHE PATH
    "The Wine prefix (its own C: drive) the Windows tests run in")
set(QW_TEST_FONT_DIR "/usr/share/fonts/truetype/dejavu" CACHE PATH
    "Fonts for the offscreen platform under Wine (QT_QPA_FONTDIR); fonts-dejavu-core")

# A Linux path as Wine's Z: drive shows it.
function(_qw_wine_path out path)
    string(REPLACE "/" "\\" path "Z:${path}")
    set(${out} "${path}" PARENT_SCOPE)
endfunction()
set(QW_WINEPATH "")
foreach(dir IN LISTS QW_WINDOWS_DLL_DIRS)
    _qw_wine_path(dir "${dir}")
    string(APPEND QW_WINEPATH "${dir};")
endforeach()
string(REGEX REPLACE ";$" "" QW_WINEPATH "${QW_WINEPATH}")
_qw_wine_path(QW_WINE_QT_PLUGIN_PATH "${QW_QT_PREFIX}/plugins")
_qw_wine_path(QW_WINE_FONT_DIR "${QW_TEST_FONT_DIR}")

configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
# Every add_executable() after this line gets it as CROSSCOMPILING_EMULATOR,
# which add_test(NAME ... COMMAND <target>) puts in front of the program.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

# ---------------------------------------------------------------------------
# qw_windows_program(<target>): the icon in the .exe, and `cmake --install`
# (and so the packages) puts the DLLs and Qt plugins it needs beside it.
function(qw_windows_program target)
    # The icon: all seven sizes of dist/icons/hicolor in one .ico (the 256 px
    # one kept as PNG, as Windows expects), made with icotool from icoutils,
    # bound into the .exe by a resource file of its own beside the version
    # resource (src/app/quillwright.rc.in).
    find_program(QW_ICOTOOL icotool DOC "icotool from icoutils, makes the .exe's icon")
    if(NOT QW_ICOTOOL)
        message(FATAL_ERROR "icotool not found: install the icoutils package")
    endif()
    set(icon_args "")
    set(pngs "")
    foreach(size IN ITEMS 16 24 32 48 64 128 256)
        set(png "${PROJECT_SOURCE_DIR}/dist/icons/hicolor/${size}x${size}/apps/quillwright.png")
        list(APPEND pngs "${png}")
        if(size EQUAL 256)
            list(APPEND icon_args "--raw=${png}")
        else()
            list(APPEND icon_args "${png}")
        endif()
    endforeach()
    set(QW_WINDOWS_ICON "${CMAKE_BINARY_DIR}/windows/quillwright.ico" PARENT_SCOPE)
    set(icon "${CMAKE_BINARY_DIR}/windows/quillwright.ico")
    file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/windows")
    execute_process(COMMAND ${QW_ICOTOOL} --create --output=${icon} ${icon_args}
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "icotool could not make ${icon}")
    endif()
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${pngs})
    file(CONFIGURE OUTPUT "${CMAKE_BINARY_DIR}/windows/quillwright-icon.rc"
        CONTENT "IDI_ICON1 ICON \"${icon}\"\n")
    target_sources(${target} PRIVATE "${CMAKE_BINARY_DIR}/windows/quillwright-icon.rc")

    # The DLLs the program and its plugins load, found by CMake reading their
    # import tables (objdump) and looking them up in the Qt and MinGW folders;
    # Windows' own DLLs are left out. A DLL that is neither found there nor
    # known to be Windows' own stops the install.
    set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe PARENT_SCOPE)
    set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump PARENT_SCOPE)
    set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND ${CMAKE_OBJDUMP} PARENT_SCOPE)
    set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
    set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
    set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND ${CMAKE_OBJDUMP})

    # CMake 3.25 looks a DLL up by its name in lower case (Windows ignores
    # case; Linux does not): Qt6Core.dll is looked for as qt6core.dll. So the
    # DLLs whose names have capitals are also offered, first, from a folder
    # that has each under its own name and, pointing to it, its lower-case
    # name; the installed lower-case links are removed again below.
    set(lookup "${CMAKE_BINARY_DIR}/windows/dll-lookup")
    file(REMOVE_RECURSE "${lookup}")
    file(MAKE_DIRECTORY "${lookup}")
    foreach(dir IN LISTS QW_WINDOWS_DLL_DIRS)
        file(GLOB dlls RELATIVE "${dir}" "${dir}/*.dll")
        foreach(dll IN LISTS dlls)
            string(TOLOWER "${dll}" lower)
            if(NOT lower STREQUAL dll AND NOT EXISTS "${lookup}/${dll}")
                file(CREATE_LINK "${dir}/${dll}" "${lookup}/${dll}" COPY_ON_ERROR)
                file(CREATE_LINK "${dll}" "${lookup}/${lower}" SYMBOLIC)
            endif()
        endforeach()
    endforeach()

    # (The program itself is installed by src/CMakeLists.txt; naming it again
    # here, to the same place, is what puts it in the dependency set.)
    install(TARGETS ${target} RUNTIME_DEPENDENCY_SET qw_runtime_dlls
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # The platform plugin (windows) and the native widget style, in the folders
    # Qt looks for them beside the program.
    install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsIntegrationPlugin
        RUNTIME_DEPENDENCY_SET qw_runtime_dlls LIBRARY DESTINATION platforms)
    install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsVistaStylePlugin
        RUNTIME_DEPENDENCY_SET qw_runtime_dlls LIBRARY DESTINATION styles)
    install(RUNTIME_DEPENDENCY_SET qw_runtime_dlls
        DESTINATION .
        PRE_EXCLUDE_REGEXES
            [[^api-ms-]] [[^ext-ms-]]
            [[^(advapi32|authz|bcrypt|comctl32|comdlg32|crypt32|d2d1|d3d9|d3d11|d3d12|dwmapi|dwrite|dxgi|gdi32|imm32|iphlpapi|kernel32|mpr|msvcrt|netapi32|ntdll|ole32|oleaut32|rpcrt4|secur32|setupapi|shcore|shell32|shlwapi|user32|userenv|uxtheme|version|winmm|winspool\.drv|ws2_32|wtsapi32)(\.dll)?$]]
        DIRECTORIES "${lookup}" ${QW_WINDOWS_DLL_DIRS})
    install(CODE "
        file(GLOB _qw_links \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\")
        foreach(_qw_link IN LISTS _qw_links)
            if(IS_SYMLINK \"\${_qw_link}\")
                file(REMOVE \"\${_qw_link}\")
            endif()
        endforeach()")

    # Qt looks for its plugins beside the program; qt.conf keeps it from
    # looking anywhere else.
    file(CONFIGURE OUTPUT "${CMAKE_BINARY_DIR}/windows/qt.conf"
        CONTENT "[Paths]\nPrefix = .\nPlugins = .\n")
    install(FILES "${CMAKE_BINARY_DIR}/windows/qt.conf" DESTINATION .)

    # The dictionaries and every licence: cmake/WindowsThirdParty.cmake.

    # Debug information would triple the package: `cmake --install --strip`
    # and CPack (CPACK_STRIP_FILES) take it out of the DLLs and the program.
    # Stripping writes the time into each file's PE header: the time of the
    # last commit (or SOURCE_DATE_EPOCH) instead, so that the installer and
    # the ZIP, installed one after the other, hold the same bytes.
    execute_process(COMMAND git log -1 --format=%ct
        WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
        OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT commit_time MATCHES "^[0-9]+$")
        set(commit_time 0)
    endif()
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            set(_qw_epoch \"\$ENV{SOURCE_DATE_EPOCH}\")
            if(NOT _qw_epoch)
                set(_qw_epoch ${commit_time})
            endif()
            file(GLOB_RECURSE _qw_binaries \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\"
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.exe\")
            foreach(_qw_binary IN LISTS _qw_binaries)
                execute_process(COMMAND \${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=\${_qw_epoch}
                        \"${CMAKE_STRIP}\" --strip-unneeded \"\${_qw_binary}\"
                    COMMAND_ERROR_IS_FATAL ANY)
            endforeach()
        endif()")
endfunction()
