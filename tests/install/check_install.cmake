# Installs the build into a fresh prefix and checks what lands there:
#   cmake -DBUILD_DIR=... -DCONFIG=... -DPREFIX=... -DVERSION=... -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(
    COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --config "${CONFIG}" --prefix "${PREFIX}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

foreach(path IN ITEMS
        bin/quillwright
        share/applications/quillwright.desktop
        share/metainfo/quillwright.metainfo.xml
        share/mime/packages/quillwright.xml
        share/doc/quillwright/copyright)
    if(NOT EXISTS "${PREFIX}/${path}")
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()

# The installed program starts from its new place (it finds its own libraries
# where the build puts them shared) and tells its version.
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen "${PREFIX}/bin/quillwright" --version
    RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT said MATCHES "${VERSION}")
    message(FATAL_ERROR "the installed program did not start: ${result} ${said} ${errors}")
endif()

# Each icon is a PNG whose header (IHDR, bytes 16 to 23) gives the size that
# its folder name promises.
foreach(size IN ITEMS 16 24 32 48 64 128 256)
    set(icon "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/quillwright.png")
    if(NOT EXISTS "${icon}")
        message(FATAL_ERROR "not installed: ${icon}")
    endif()
    file(READ "${icon}" head LIMIT 24 HEX)
    string(SUBSTRING "${head}" 0 16 signature)
    string(SUBSTRING "${head}" 32 8 width)
    string(SUBSTRING "${head}" 40 8 height)
    math(EXPR width "0x${width}")
    math(EXPR height "0x${height}")
    if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
        message(FATAL_ERROR "${icon}: a ${width} x ${height} picture (signature ${signature}), not a ${size} x ${size} PNG")
    endif()
endforeach()

# The AppStream entry names the desktop entry and the version being installed.
file(READ "${PREFIX}/share/metainfo/quillwright.metainfo.xml" metainfo)
if(NOT metainfo MATCHES "<launchable type=\"desktop-id\">quillwright.desktop</launchable>")
    message(FATAL_ERROR "the metainfo file does not launch quillwright.desktop")
endif()
string(REPLACE "." "\\." version_pattern "${VERSION}")
if(NOT metainfo MATCHES "<releases>[ \n]*<release version=\"${version_pattern}\"")
    message(FATAL_ERROR "the newest release in the metainfo file is not ${VERSION}")
endif()

# The MIME type is valid as shared-mime-info reads it, and files are given it
# by their name and by their first line.
find_program(UPDATE_MIME_DATABASE update-mime-database)
if(UPDATE_MIME_DATABASE)
    execute_process(COMMAND ${UPDATE_MIME_DATABASE} "${PREFIX}/share/mime"
        RESULT_VARIABLE result ERROR_VARIABLE errors)
    if(NOT result EQUAL 0 OR errors MATCHES "[Ee]rror|[Ww]arning")
        message(FATAL_ERROR "update-mime-database: ${result} ${errors}")
    endif()
    file(READ "${PREFIX}/share/mime/text/x-mirkhold-str.xml" type)
    if(NOT type MATCHES "Mirkhold mission text")
        message(FATAL_ERROR "the MIME type was not registered: ${type}")
    endif()
endif()
