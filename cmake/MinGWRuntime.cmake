# Where the MinGW runtime DLLs that the Windows programs need are kept
# (libstdc++, libgcc_s, libwinpthread): TAGDESK_MINGW_DLL_DIRS, for the zip
# and for running the tests under Wine.
set(TAGDESK_MINGW_DLL_DIRS)
foreach(dll libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE found
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(folder "${found}" DIRECTORY)
  list(APPEND TAGDESK_MINGW_DLL_DIRS "${folder}")
endforeach()
list(REMOVE_DUPLICATES TAGDESK_MINGW_DLL_DIRS)
