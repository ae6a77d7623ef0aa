# Platform files: a source whose name holds "Win32" builds only for Windows, one whose name holds
# "Posix" only elsewhere. Each system-dependent piece (serial lines, clock, files, executable
# path) thus sits in one file per platform, with no #ifdef around it.
function(tessel_platform_filter list_var)
  if(WIN32)
    list(FILTER ${list_var} EXCLUDE REGEX "Posix[^/]*\\.cpp$")
  else()
    list(FILTER ${list_var} EXCLUDE REGEX "Win32[^/]*\\.cpp$")
  endif()
  set(${list_var} ${${list_var}} PARENT_SCOPE)
endfunction()
