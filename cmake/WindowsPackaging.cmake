# The Windows packages, made by `cpack` in the "windows" build folder
# (scripts/windows.sh; Debian's nsis makes the installer), from exactly what
# `cmake --install` puts in one folder: quillwright.exe, the DLLs it needs,
# the platforms/ and styles/ Qt plugins and qt.conf (cmake/Windows.cmake), the
# dictionaries and the licences (cmake/WindowsThirdParty.cmake).
#   quillwright-<version>-win64.exe  an installer (dist/windows/NSIS.template.in):
#                                    per user without administrator rights, or
#                                    for all users; Start-menu entry; listed in
#                                    Apps & Features; silent with /S
#   quillwright-<version>-win64.zip  the same folder, to unzip and run in place
# Included by cmake/Packaging.cmake before include(CPack).
include(${CMAKE_CURRENT_LIST_DIR}/WindowsThirdParty.cmake)
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_FILE_NAME "${QW_WINDOWS_PACKAGE_NAME}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Quillwright")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Quillwright")
set(CPACK_NSIS_DISPLAY_NAME "Quillwright")
set(CPACK_NSIS_PACKAGE_NAME "Quillwright")
set(CPACK_NSIS_UNINSTALL_NAME "Uninstall")
set(CPACK_NSIS_URL_INFO_ABOUT "${CPACK_PACKAGE_HOMEPAGE_URL}")
# Read by the installer template: the icon of the installer, the uninstaller
# and (through the .exe) the Start-menu entry and the Apps & Features entry.
set(CPACK_QW_ICON "${QW_WINDOWS_ICON}")
set(CPACK_QW_PROGRAM "quillwright.exe")
# The project's own installer template replaces CPack's (which always asks
# for administrator rights): CPack looks for NSIS.template.in here first.
set(CPACK_MODULE_PATH "${PROJECT_SOURCE_DIR}/dist/windows" ${CMAKE_MODULE_PATH})
