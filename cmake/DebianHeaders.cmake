# The header-only libraries of the Linux build (toml++, CLI11, nlohmann-json),
# for a Windows cross-build. Debian has no MinGW packages of them, and their
# headers need nothing but the standard library; but handing MinGW all of
# /usr/include would mix Linux's headers into a Windows build. So the build
# tree gets a narrow folder that shows only these libraries' own header
# folders, and pkg-config files and CMake package files that point there. The
# parts find them as on Linux (pkg_check_modules, find_package), unchanged.
set(debian_headers ${PROJECT_BINARY_DIR}/debian-headers)
file(REMOVE_RECURSE ${debian_headers})
file(MAKE_DIRECTORY ${debian_headers}/include)

# name: pkg-config and CMake package name; folder: its header folder in /usr/include;
# target: the CMake package's target; then compile definitions. Skipped when
# the Debian package is not installed.
function(tagdesk_debian_headers name folder target)
  execute_process(COMMAND ${PKG_CONFIG_EXECUTABLE} --modversion ${name}
    OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE missing ERROR_QUIET)
  if(missing OR NOT IS_DIRECTORY /usr/include/${folder})
    return()
  endif()
  file(CREATE_LINK /usr/include/${folder} ${debian_headers}/include/${folder} SYMBOLIC)
  list(TRANSFORM ARGN PREPEND "-D" OUTPUT_VARIABLE flags)
  list(JOIN flags " " flags)
  file(WRITE ${debian_headers}/pkgconfig/${name}.pc
    "Name: ${name}\nDescription: ${folder} headers for the Windows build\nVersion: ${version}\n"
    "Cflags: -I${debian_headers}/include ${flags}\n")
  file(WRITE ${debian_headers}/cmake/${name}/${name}Config.cmake
    "if(NOT TARGET ${target})\n"
    "  add_library(${target} INTERFACE IMPORTED)\n"
    "  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES \"${debian_headers}/include\"\n"
    "    INTERFACE_COMPILE_DEFINITIONS \"${ARGN}\")\n"
    "endif()\n")
  file(WRITE ${debian_headers}/cmake/${name}/${name}ConfigVersion.cmake
    "set(PACKAGE_VERSION ${version})\nset(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
  set(${name}_DIR ${debian_headers}/cmake/${name} CACHE PATH "" FORCE)
endfunction()

# Debian's toml++ is built as a shared library; here it is used header-only.
tagdesk_debian_headers(tomlplusplus toml++ tomlplusplus::tomlplusplus TOML_HEADER_ONLY=1)
tagdesk_debian_headers(CLI11 CLI CLI11::CLI11)
tagdesk_debian_headers(nlohmann_json nlohmann nlohmann_json::nlohmann_json)

# pkg-config looks here and nowhere else.
set(ENV{PKG_CONFIG_LIBDIR} ${debian_headers}/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
