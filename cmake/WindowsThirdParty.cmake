# What the Windows packages carry beside the program and its DLLs (cmake/Windows.cmake):
#   dictionaries/       Hunspell dictionaries for English, Polish, Russian,
#                       German, French, Italian, Czech and Hungarian, from
#                       Debian's hunspell-* packages (the spelling code looks
#                       for them in the `dictionaries` folder beside the program);
#   licenses/           the program's licence, and the licence texts and
#                       copyright notices of every third-party file: Qt, the
#                       MinGW-w64 runtime DLLs, Hunspell, uchardet and each
#                       dictionary; licenses/qt/SOURCE.txt says where Qt's
#                       source is;
#   licenses/INDEX.txt  names each shipped file with its licence and the
#                       files under licenses/ that hold it
#                       (dist/windows/licenses.txt.in; tests/windows checks
#                       that it covers every file the packages carry).
# Included by cmake/WindowsPackaging.cmake, once the package's metadata is set.

set(QW_HUNSPELL_DICTIONARY_DIR "/usr/share/hunspell" CACHE PATH
    "Debian's Hunspell dictionaries, shipped in the Windows packages (hunspell-* packages)")
set(QW_DEBIAN_DOC_DIR "/usr/share/doc" CACHE PATH
    "Debian's per-package documentation (each package's copyright file)")
set(QW_COMMON_LICENSES_DIR "/usr/share/common-licenses" CACHE PATH
    "Debian's common licence texts (base-files)")
set(QW_QT_DEBIAN_VERSION "6.4.2+dfsg-10" CACHE STRING
    "The version of Debian's qt6-base source the Qt for MinGW-w64 is built from (scripts/build-qt-mingw64.sh)")

# <Debian package>:<dictionary name>: the file names as the package installs them.
set(_qw_dictionaries
    hunspell-en-us:en_US
    hunspell-pl:pl_PL
    hunspell-ru:ru_RU
    hunspell-de-de:de_DE
    hunspell-fr-classical:fr
    hunspell-it:it_IT
    hunspell-cs:cs_CZ
    hunspell-hu:hu_HU)

function(_qw_ship_file source destination)
    if(NOT EXISTS "${source}")
        message(FATAL_ERROR "${source} is missing: the Windows packages ship it (scripts/windows.sh installs it)")
    endif()
    # Debian links several names to one file: the file itself is shipped.
    get_filename_component(real "${source}" REALPATH)
    get_filename_component(directory "${destination}" DIRECTORY)
    get_filename_component(name "${destination}" NAME)
    install(FILES "${real}" DESTINATION "${directory}" RENAME "${name}")
endfunction()

foreach(entry IN LISTS _qw_dictionaries)
    string(REPLACE ":" ";" entry "${entry}")
    list(GET entry 0 package)
    list(GET entry 1 name)
    foreach(extension IN ITEMS aff dic)
        _qw_ship_file("${QW_HUNSPELL_DICTIONARY_DIR}/${name}.${extension}" "dictionaries/${name}.${extension}")
    endforeach()
    _qw_ship_file("${QW_DEBIAN_DOC_DIR}/${package}/copyright" "licenses/dictionaries/${package}/copyright")
endforeach()

# The licence texts that the notices refer to (Debian's notices point to
# /usr/share/common-licenses, which Windows does not have).
foreach(license IN ITEMS GPL-2 GPL-3 LGPL-3 MPL-2.0 Apache-2.0)
    _qw_ship_file("${QW_COMMON_LICENSES_DIR}/${license}" "licenses/common/${license}.txt")
endforeach()

# Qt: Debian's notice of qt6-base (Qt's own licences and those of the code
# built into it) and where its source is.
_qw_ship_file("${QW_DEBIAN_DOC_DIR}/libqt6core6/copyright" "licenses/qt/copyright")
set(QW_QT_VERSION "${Qt6Core_VERSION}")
string(REGEX REPLACE "\\+.*$" "" QW_QT_UPSTREAM_VERSION "${QW_QT_DEBIAN_VERSION}")
string(REGEX MATCH "^[0-9]+\\.[0-9]+" QW_QT_MAJOR_MINOR "${QW_QT_UPSTREAM_VERSION}")
string(REPLACE "+" "%2B" QW_QT_DEBIAN_VERSION_URL "${QW_QT_DEBIAN_VERSION}")
if(NOT QW_QT_VERSION STREQUAL QW_QT_UPSTREAM_VERSION)
    message(FATAL_ERROR "Qt for MinGW-w64 is ${QW_QT_VERSION}, QW_QT_DEBIAN_VERSION says ${QW_QT_DEBIAN_VERSION}")
endif()
configure_file("${PROJECT_SOURCE_DIR}/dist/windows/qt-source.txt.in"
    "${CMAKE_BINARY_DIR}/windows/licenses/qt/SOURCE.txt" @ONLY NEWLINE_STYLE CRLF)
install(FILES "${CMAKE_BINARY_DIR}/windows/licenses/qt/SOURCE.txt" DESTINATION licenses/qt)

# The MinGW-w64 runtime DLLs: libstdc++ and libgcc (GPL 3 with the GCC Runtime
# Library Exception, whose text Debian's notice holds) and winpthreads.
_qw_ship_file("${QW_DEBIAN_DOC_DIR}/gcc-mingw-w64-base/copyright" "licenses/gcc/copyright")
_qw_ship_file("${QW_DEBIAN_DOC_DIR}/mingw-w64-common/copyright" "licenses/mingw-w64/copyright")

# uchardet and Hunspell are linked into the program (statically, from the
# folder scripts/windows.sh unpacks); the program's own licence.
install(FILES "${QW_MINGW_LIBS}/share/licenses/uchardet/COPYING" DESTINATION licenses/uchardet)
install(DIRECTORY "${QW_MINGW_LIBS}/share/licenses/hunspell/" DESTINATION licenses/hunspell)
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION licenses/quillwright)

configure_file("${PROJECT_SOURCE_DIR}/dist/windows/licenses.txt.in"
    "${CMAKE_BINARY_DIR}/windows/licenses/INDEX.txt" @ONLY NEWLINE_STYLE CRLF)
install(FILES "${CMAKE_BINARY_DIR}/windows/licenses/INDEX.txt" DESTINATION licenses)
