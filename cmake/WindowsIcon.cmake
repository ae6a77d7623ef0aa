# The program's Windows icon, made from packaging/tessel.svg at build time: TESSEL_ICON names the
# file, the target tessel_icon makes it. The installer and the zip ship it; a resource script can
# take it as an executable's ICON (with add_dependencies(EXE tessel_icon)); include this file
# wherever that is, it defines the step once.
include_guard(GLOBAL)
set(TESSEL_ICON ${CMAKE_BINARY_DIR}/packaging/tessel.ico)
add_custom_command(OUTPUT ${TESSEL_ICON}
  COMMAND ${PROJECT_SOURCE_DIR}/packaging/make-icon ${PROJECT_SOURCE_DIR}/packaging/tessel.svg ${TESSEL_ICON}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/tessel.svg ${PROJECT_SOURCE_DIR}/packaging/make-icon
  COMMENT "Windows icon from tessel.svg")
add_custom_target(tessel_icon DEPENDS ${TESSEL_ICON})
