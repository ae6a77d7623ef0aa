# The Windows build packs an installer and a zip instead (WindowsPackage.cmake).
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackage.cmake)
  return()
endif()

# make package: a Debian package of the executable, its desktop entry, icon and AppStream
# metainfo, its manual page and bash completion (both made from the built program's help texts),
# the copyright file and changelog, with the dependencies dpkg-shlibdeps finds.
include(GNUInstallDirs)
set(here ${CMAKE_CURRENT_LIST_DIR})
set(made ${CMAKE_BINARY_DIR}/packaging)

# The Debian revision is the changelog's: its latest entry must be this version.
file(STRINGS ${here}/changelog latest LIMIT_COUNT 1)
if(NOT latest MATCHES "^tessel \\(${PROJECT_VERSION}-([0-9]+)\\)")
  message(FATAL_ERROR "packaging/changelog: the latest entry is not version ${PROJECT_VERSION}-N")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_1})

add_custom_command(OUTPUT ${made}/tessel.1.gz ${made}/tessel
  COMMAND ${here}/make-help-docs $<TARGET_FILE:tessel> ${here}/changelog ${made}
  COMMAND gzip -9nf ${made}/tessel.1
  DEPENDS tessel ${here}/make-help-docs ${here}/tessel.1.files ${here}/tessel.bash-completion
          ${here}/changelog
  COMMENT "Manual page and bash completion from tessel --help")
add_custom_command(OUTPUT ${made}/changelog.Debian.gz
  COMMAND gzip -9nc ${here}/changelog > ${made}/changelog.Debian.gz
  DEPENDS ${here}/changelog)
add_custom_target(tessel_package_files ALL
  DEPENDS ${made}/tessel.1.gz ${made}/tessel ${made}/changelog.Debian.gz)

install(TARGETS tessel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${here}/tessel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${here}/org.example.tessel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${here}/tessel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${made}/tessel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${made}/tessel DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${here}/copyright ${made}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessel)
install(FILES ${here}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tessel)
# FT232R adapters for the dialout group (the USB programming cable).
install(FILES ${here}/60-tessel-ft232r.rules DESTINATION lib/udev/rules.d)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessel)
set(CPACK_PACKAGE_VENDOR "Tessel")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Programs a guidance light bar's configuration block and firmware")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessel reads, converts and programs the configuration block and the firmware
of a guidance light bar's ATmega128 through a bit-banged serial programming
cable, in a window or on the command line.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tessel developers <tessel@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
