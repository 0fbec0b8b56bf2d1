# The zip for Windows users: Reader.dll with its header, import library and
# export list, tagdesk-cli.exe, the MinGW runtime DLLs they need, and the docs.
# CPack builds it from these rules (scripts/build-windows.sh):
#   bin/      Reader.dll, tagdesk-cli.exe, lib*.dll
#   include/  Reader.h
#   lib/      Reader.lib (import library), Reader.def
#   docs/     README.md, protocol.md, tagdesk-cli.1
# Included from the top level after every part, so all targets exist here.

install(TARGETS Reader tagdesk-cli RUNTIME DESTINATION bin ARCHIVE DESTINATION lib)
# The MinGW runtime DLLs the two need, found where the compiler keeps them;
# only MinGW's own (lib*.dll): the system's (KERNEL32, WS2_32, ...) are
# Windows' own. install(TARGETS ... RUNTIME_DEPENDENCIES) refuses a
# cross-build; the command it runs does not, when told how to read a Windows
# program (objdump -p).
install(CODE "
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND \"${CMAKE_OBJDUMP}\")
  file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES \"$<TARGET_FILE:tagdesk-cli>\"
    LIBRARIES \"$<TARGET_FILE:Reader>\"
    DIRECTORIES ${TAGDESK_MINGW_DLL_DIRS}
    PRE_INCLUDE_REGEXES \"^lib.*\\\\.dll$\"
    PRE_EXCLUDE_REGEXES \".*\"
    RESOLVED_DEPENDENCIES_VAR found
    UNRESOLVED_DEPENDENCIES_VAR missing)
  if(missing)
    message(FATAL_ERROR \"MinGW runtime DLLs not found: \${missing}\")
  endif()
  file(INSTALL \${found} DESTINATION \"\${CMAKE_INSTALL_PREFIX}/bin\")
")
install(FILES ${PROJECT_BINARY_DIR}/devicelib/Reader.def DESTINATION lib)
install(FILES ${PROJECT_SOURCE_DIR}/include/Reader.h DESTINATION include)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/protocol.md
              ${PROJECT_SOURCE_DIR}/docs/tagdesk-cli.1
        DESTINATION docs)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tagdesk)
set(CPACK_PACKAGE_FILE_NAME tagdesk-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_PACKAGE_VENDOR "Tagdesk")
include(CPack)
