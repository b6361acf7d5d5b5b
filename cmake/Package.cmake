# Installation layout and the Debian package (scripts/package builds it with CPack).
include(GNUInstallDirs)

set(VANTOR_APP_ID org.vantordesktop.VantorDesktop)

install(TARGETS vantor-desktop vantor-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${VANTOR_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${VANTOR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The icons are painted by the art generator with the rest of the artwork.
foreach(_side 16 32 48 64 128 256)
    install(FILES ${VANTOR_ART_DIR}/icons/vantor-${_side}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_side}x${_side}/apps
            RENAME vantor-desktop.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantor-desktop RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantor-desktop)
set(CPACK_PACKAGE_VENDOR "Vantor Desktop developers")
set(CPACK_PACKAGE_CONTACT "Vantor Desktop developers <maintainers@vantordesktop.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Chat client for Westwood Online servers")
set(CPACK_PACKAGE_DESCRIPTION
    "Buddy list with locations, pages, lobby chat and a debug log of all traffic, with a small
local service to try it out.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Runtime dependencies come from dpkg-shlibdeps over the installed binaries, never typed in (the
# xcb and offscreen platform plugins ship in libqt6gui6, which the binaries need anyway).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, fonts-noto-color-emoji, qt6-wayland")
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_SOURCE_DIR}/build)
set(CPACK_STRIP_FILES ON)
include(CPack)
