# make windows-installer: build-windows/package/tessel-VERSION-setup.exe (NSIS, packaging/tessel.nsi)
# and tessel-VERSION-windows.zip, a portable copy of the same files in a folder "Tessel".
include(${PROJECT_SOURCE_DIR}/cmake/WindowsIcon.cmake) # TESSEL_ICON

# Text files as Notepad shows them (CR LF): the README, which the about window's web site button
# opens when the INI names no web site, and the licence, which the installer shows too.
set(texts ${CMAKE_BINARY_DIR}/packaging)
file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
string(REPLACE "\n" "\r\n" readme "${readme}")
file(WRITE ${texts}/README.txt "${readme}")
# The licence from the Debian copyright file: its copyright line, then the licence's text.
file(READ ${CMAKE_CURRENT_LIST_DIR}/copyright copyright)
string(REGEX MATCH "Copyright: ([^\n]*)" holder "${copyright}")
set(holder "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^.*\nLicense: [^\n]*\n" "" licence "${copyright}")
string(REGEX REPLACE "(^|\n) \\.?" "\\1" licence "${licence}")
string(REPLACE "\n" "\r\n" licence "Copyright ${holder}\n\n${licence}")
file(WRITE ${texts}/License.txt "${licence}")
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/README.md ${CMAKE_CURRENT_LIST_DIR}/copyright)

# The program's files, one a line. The Start menu entry opens the first (Tessel.exe, the window
# program); Tessel.com beside it is what a command prompt runs for "tessel". The icon is the .ico.
set(TESSEL_WINDOWS_FILES
  $<TARGET_FILE:tessel>
  $<TARGET_FILE:tessel_console>
  ${TESSEL_ICON}
  ${texts}/README.txt
  ${texts}/License.txt
)

set(package ${CMAKE_BINARY_DIR}/package)
set(installer ${package}/tessel-${PROJECT_VERSION}-setup.exe)
set(zip ${package}/tessel-${PROJECT_VERSION}-windows.zip)
set(files_nsh ${CMAKE_BINARY_DIR}/packaging/files.nsh)
file(MAKE_DIRECTORY ${package})

# The lists as NSIS sees them: the files to install and to delete, the programs' and icon's names.
list(GET TESSEL_WINDOWS_FILES 0 program)
list(GET TESSEL_WINDOWS_FILES 1 console)
set(install_lines "")
set(delete_lines "")
foreach(file IN LISTS TESSEL_WINDOWS_FILES)
  string(APPEND install_lines "  File \"${file}\"\n")
  string(APPEND delete_lines "  Delete \"$INSTDIR\\$<PATH:GET_FILENAME,${file}>\"\n")
endforeach()
get_filename_component(icon_name ${TESSEL_ICON} NAME)
file(GENERATE OUTPUT ${files_nsh} CONTENT
"!define TESSEL_PROGRAM \"$<PATH:GET_FILENAME,${program}>\"
!define TESSEL_CONSOLE \"$<PATH:GET_FILENAME,${console}>\"
!define TESSEL_ICON \"${icon_name}\"
!macro TESSEL_INSTALL_FILES
${install_lines}!macroend
!macro TESSEL_DELETE_FILES
${delete_lines}!macroend
")

find_program(TESSEL_MAKENSIS makensis REQUIRED)
add_custom_command(OUTPUT ${installer}
  COMMAND ${TESSEL_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DOUTFILE=${installer}
          -DICON=${TESSEL_ICON} -DFILES=${files_nsh} -DLICENCE=${texts}/License.txt
          ${CMAKE_CURRENT_LIST_DIR}/tessel.nsi
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
