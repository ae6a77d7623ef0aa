# Tests of the Windows build: GoogleTest built from Debian's googletest sources with the same
# cross compiler, and the test executables run under wine by scripts/windows-tests (not by ctest:
# this machine cannot start them itself).
set(TESSEL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian's googletest package)")
if(NOT EXISTS ${TESSEL_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${TESSEL_GOOGLETEST_SOURCE}; scripts/install-deps installs googletest")
endif()
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${TESSEL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# It names its targets GTest::gtest, GTest::gmock, ... itself.
foreach(lib gtest gtest_main gmock gmock_main)
  target_compile_options(${lib} PRIVATE -w -Wno-error) # not held to this project's warnings
endforeach()

# Instead of ctest's discovery, which would have to start the executable: each test executable
# is listed in windows-tests.txt of the build folder, which scripts/windows-tests runs under wine.
function(gtest_discover_tests target)
  set_property(GLOBAL APPEND PROPERTY TESSEL_WINDOWS_TESTS ${target})
endfunction()

function(tessel_write_windows_test_list)
  get_property(targets GLOBAL PROPERTY TESSEL_WINDOWS_TESTS)
  set(content "")
  foreach(target IN LISTS targets)
    string(APPEND content "$<TARGET_FILE:${target}>\n")
  endforeach()
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/windows-tests.txt CONTENT "${content}")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL tessel_write_windows_test_list)
