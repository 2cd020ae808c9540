# The Debian package, made by `cpack` in a release build directory
# (scripts/make-deb.sh): quillwright_<version>_<arch>.deb with what `cmake
# --install` puts under /usr. Its dependencies are read off the shared libraries
# the executable links (dpkg-shlibdeps, from dpkg-dev, which needs `file`).
set(CPACK_PACKAGE_NAME quillwright)
set(CPACK_PACKAGE_VENDOR "Quillwright")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quillwright maintainers <quillwright@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quillwright.example.org")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION [[
Quillwright is a small desktop tool for authors of fan-made missions for the
game Mirkhold. It writes the texts a mission shows - the pages of readable
books, the mission goals, the new-game screen, the mission flags and the
mission titles - as the .str files the game reads: a book file, goals.str,
newgame.str, missflag.str and Titles.str, every line ending in CR LF, in
Windows-1252.]])
set(CPACK_STRIP_FILES ON)

if(UNIX AND NOT APPLE)
    set(CPACK_GENERATOR DEB)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A dictionary, for spelling (the others: Debian's hunspell-* packages).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hunspell-en-us")

# Windows: an NSIS installer and a portable ZIP (cmake/WindowsPackaging.cmake).
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackaging.cmake)
endif()

include(CPack)
