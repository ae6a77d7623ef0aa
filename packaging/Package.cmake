# make package: a Debian package of the one executable, its desktop entry and its icon, with
# the dependencies dpkg-shlibdeps finds in the executable's shared libraries.
include(GNUInstallDirs)
install(TARGETS tessel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tessel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tessel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessel)
set(CPACK_PACKAGE_VENDOR "Tessel")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Programs a guidance light bar's configuration block and firmware")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessel reads, converts and programs the configuration block and the firmware of a guidance light bar's ATmega128 through a bit-banged serial programming cable, in a window or on the command line.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tessel developers <tessel@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
