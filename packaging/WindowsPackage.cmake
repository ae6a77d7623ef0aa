# make windows-installer: build-windows/package/tessel-VERSION-setup.exe (NSIS, packaging/tessel.nsi)
# and tessel-VERSION-windows.zip, a portable copy of the same files in a folder "Tessel".
include(${PROJECT_SOURCE_DIR}/cmake/WindowsIcon.cmake) # TESSEL_ICON

# The program's files, one a line. The Start menu entry opens the first (Tessel.exe, the window
# program); Tessel.com beside it is what a command prompt runs for "tessel". The icon is the .ico.
set(TESSEL_WINDOWS_FILES
  $<TARGET_FILE:tessel>
  $<TARGET_FILE:tessel_console>
  ${TESSEL_ICON}
)

set(package ${CMAKE_BINARY_DIR}/package)
set(installer ${package}/tessel-${PROJECT_VERSION}-setup.exe)
set(zip ${package}/tessel-${PROJECT_VERSION}-windows.zip)
set(files_nsh ${CMAKE_BINARY_DIR}/packaging/files.nsh)
file(MAKE_DIRECTORY ${package})

# The lists as NSIS sees them: the files to install and to delete, the program and icon names.
list(GET TESSEL_WINDOWS_FILES 0 program)
set(install_lines "")
set(delete_lines "")
foreach(file IN LISTS TESSEL_WINDOWS_FILES)
  string(APPEND install_lines "  File \"${file}\"\n")
  string(APPEND delete_lines "  Delete \"$INSTDIR\\$<PATH:GET_FILENAME,${file}>\"\n")
endforeach()
get_filename_component(icon_name ${TESSEL_ICON} NAME)
file(GENERATE OUTPUT ${files_nsh} CONTENT
"!define TESSEL_PROGRAM \"$<PATH:GET_FILENAME,${program}>\"
!define TESSEL_ICON \"${icon_name}\"
!macro TESSEL_INSTALL_FILES
${install_lines}!macroend
!macro TESSEL_DELETE_FILES
${delete_lines}!macroend
")

find_program(TESSEL_MAKENSIS makensis REQUIRED)
add_custom_command(OUTPUT ${installer}
  COMMAND ${TESSEL_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DOUTFILE=${installer}
          -DICON=${TESSEL_ICON} -DFILES=${files_nsh} ${CMAKE_CURRENT_LIST_DIR}/tessel.nsi
  DEPENDS tessel tessel_console tessel_icon ${TESSEL_WINDOWS_FILES} ${files_nsh} ${CMAKE_CURRENT_LIST_DIR}/tessel.nsi
  COMMENT "Windows installer ${installer}")
add_custom_command(OUTPUT ${zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${package}/Tessel
  COMMAND ${CMAKE_COMMAND} -E make_directory ${package}/Tessel
  COMMAND ${CMAKE_COMMAND} -E copy ${TESSEL_WINDOWS_FILES} ${package}/Tessel
  COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip Tessel
  WORKING_DIRECTORY ${package}
  DEPENDS tessel tessel_console tessel_icon ${TESSEL_WINDOWS_FILES}
  COMMENT "Portable zip ${zip}")
add_custom_target(windows-zip DEPENDS ${zip})
# scripts/windows-tests installs and unpacks these under wine.
file(WRITE ${CMAKE_BINARY_DIR}/windows-package.txt "${installer}\n${zip}\n")
add_custom_target(windows-installer DEPENDS ${installer} ${zip})
