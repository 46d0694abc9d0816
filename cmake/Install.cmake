# Kazami as a desktop application: what `cmake --install` puts where the
# desktop looks for it, and the Debian package (`cpack -G DEB`).
include(GNUInstallDirs)

set(KAZAMI_APP_ID org.kazami.Kazami)
set(KAZAMI_ICON_SIZES 16 24 32 48 64 128 256)

# The icon of the hicolor theme, drawn by the code that draws the windows'
# icon, so that the two never differ.
add_executable(kazami_iconwriter dist/iconwriter.cpp)
target_link_libraries(kazami_iconwriter PRIVATE kazami_gui kazami_compiler_options)
set(KAZAMI_ICON_DIR ${PROJECT_BINARY_DIR}/icons)
set(icon_files ${KAZAMI_ICON_DIR}/kazami.svg)
foreach(size IN LISTS KAZAMI_ICON_SIZES)
    list(APPEND icon_files ${KAZAMI_ICON_DIR}/${size}x${size}/kazami.png)
endforeach()
add_custom_command(OUTPUT ${icon_files}
    COMMAND kazami_iconwriter ${KAZAMI_ICON_DIR} ${KAZAMI_ICON_SIZES}
    DEPENDS kazami_iconwriter
    COMMENT "Drawing the application icon"
    VERBATIM)
add_custom_target(kazami_icons ALL DEPENDS ${icon_files})

install(TARGETS kazami RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES dist/kazami.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# Actions of the file managers that open a folder in Kazami; Kazami never
# registers itself as a folder opener.
install(FILES dist/kazami-rename.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/kio/servicemenus)
install(FILES dist/kazami-rename.nemo_action dist/kazami-rename-here.nemo_action
        DESTINATION ${CMAKE_INSTALL_DATADIR}/nemo/actions)
install(FILES dist/${KAZAMI_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KAZAMI_ICON_DIR}/kazami.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS KAZAMI_ICON_SIZES)
    install(FILES ${KAZAMI_ICON_DIR}/${size}x${size}/kazami.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The Debian package installs under /usr, whatever the install prefix.
set(KAZAMI_PACKAGE_MAINTAINER "Kazami developers <kazami@example.org>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kazami)
set(CPACK_PACKAGE_VENDOR Kazami)
set(CPACK_PACKAGE_CONTACT ${KAZAMI_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bulk file renamer with a Japanese user interface")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Kazami lists the files of one folder that match a wildcard pattern, with"
    "the new name of every file beside it: replace and insert text, number the"
    "files, change letter case, width and kana, set attributes. It checks every"
    "new name and every collision, writes a change log, and renames in one run"
    "without ever replacing an existing file. Its user interface is Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the libraries the executable links; the Japanese font
# it cannot see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk | fonts-japanese-gothic")
# Japanese standard buttons, and a native Wayland window instead of XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")
include(CPack)
