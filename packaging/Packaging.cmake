# Installing Tagdesk like a desktop program: where `cmake --install` puts the
# program, the device library with its header and pkg-config file, the virtual
# reader, the desktop entry, the AppStream metadata, the icons, the man pages
# and the docs; and the Debian package CPack builds from the same rules.
# Included from the top level after every part, so all targets exist here.
include(GNUInstallDirs)

set(TAGDESK_APP_ID org.tagdesk.Tagdesk)
set(packaging_dir ${CMAKE_CURRENT_LIST_DIR})
set(packaging_out ${PROJECT_BINARY_DIR}/packaging)

# The installed programs find libReader in the library folder of their own
# install tree, wherever the prefix is, without LD_LIBRARY_PATH.
file(RELATIVE_PATH lib_from_bin ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set(TAGDESK_INSTALL_RPATH "$ORIGIN/${lib_from_bin}")

# The device library, and what another program needs to build against it.
install(TARGETS Reader LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/Reader.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tagdesk)
# The pkg-config file names the prefix the files are installed under, also
# when `cmake --install --prefix` chooses another one than the build did: the
# prefix is filled in at install time.
foreach(dir LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
    set(READER_PC_${dir} "${CMAKE_INSTALL_${dir}}")
  else()
    set(READER_PC_${dir} "\${prefix}/${CMAKE_INSTALL_${dir}}")
  endif()
endforeach()
string(APPEND READER_PC_INCLUDEDIR /tagdesk)
set(READER_PC_PREFIX @READER_PC_PREFIX@)
configure_file(${packaging_dir}/reader.pc.in ${packaging_out}/reader.pc.in @ONLY)
install(CODE "
  set(READER_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  configure_file(\"${packaging_out}/reader.pc.in\" \"${packaging_out}/reader.pc\" @ONLY)
")
install(FILES ${packaging_out}/reader.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Files installed gzip-compressed (-9n: the smallest, and the same bytes on
# every build), as man pages and a package's change log are:
#   tagdesk_install_gzipped(NAME SOURCE DESTINATION [DEPENDS ...])
find_program(GZIP gzip REQUIRED)
function(tagdesk_install_gzipped name source destination)
  set(gzipped ${packaging_out}/gz/${name}.gz)
  add_custom_command(OUTPUT ${gzipped}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${packaging_out}/gz
    COMMAND ${GZIP} -9n -c ${source} > ${gzipped}
    DEPENDS ${source} ${ARGN})
  add_custom_target(gzip_${name} ALL DEPENDS ${gzipped})
  install(FILES ${gzipped} DESTINATION ${destination})
endfunction()
set(man1_dir ${CMAKE_INSTALL_MANDIR}/man1)
# What bash-completion loads when a command's name is first completed.
set(completions_dir ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# The virtual reader and its man page, written from its --help (run at build
# time; a sanitizer build's leak check has no business there).
install(TARGETS readersim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
add_custom_command(OUTPUT ${packaging_out}/readersim.1
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:readersim> -DNAME=readersim
          "-DSUMMARY=a virtual UHF RFID reader for Tagdesk and libReader"
          -DOUTPUT=${packaging_out}/readersim.1 -P ${packaging_dir}/HelpManPage.cmake
  DEPENDS readersim ${packaging_dir}/HelpManPage.cmake
  VERBATIM)
tagdesk_install_gzipped(readersim.1 ${packaging_out}/readersim.1 ${man1_dir})
install(FILES ${packaging_dir}/completions/readersim DESTINATION ${completions_dir})

# The command-line program, where this tree builds one; its man page and completion beside it.
if(TARGET tagdesk-cli)
  set_target_properties(tagdesk-cli PROPERTIES INSTALL_RPATH "${TAGDESK_INSTALL_RPATH}")
  install(TARGETS tagdesk-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  tagdesk_install_gzipped(tagdesk-cli.1 ${PROJECT_SOURCE_DIR}/docs/tagdesk-cli.1 ${man1_dir})
  install(FILES ${packaging_dir}/completions/tagdesk-cli DESTINATION ${completions_dir})
endif()

# The Ansible collection's tarball, where the tree builds one (ansible/CMakeLists.txt).
if(TARGET ansible_collection)
  install(FILES ${TAGDESK_COLLECTION_TARBALL} DESTINATION ${CMAKE_INSTALL_DATADIR}/tagdesk/ansible)
endif()

# The docs, the licence as Debian states it, and the package's change log.
set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/tagdesk)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/protocol.md
              ${PROJECT_SOURCE_DIR}/docs/readersim.md ${PROJECT_SOURCE_DIR}/docs/tag-output.md
              ${PROJECT_SOURCE_DIR}/docs/ansible.md
              ${packaging_dir}/debian/copyright
        DESTINATION ${doc_dir})
set(TAGDESK_PACKAGE_MAINTAINER "Tagdesk maintainers <maintainers@tagdesk.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")
configure_file(${packaging_dir}/debian/changelog.in ${packaging_out}/changelog @ONLY)
tagdesk_install_gzipped(changelog ${packaging_out}/changelog ${doc_dir})
# Why lintian's word on some files of this package does not apply.
install(FILES ${packaging_dir}/debian/tagdesk.lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME tagdesk)

# The window: the program, its entry in the desktop's application menu, its
# AppStream metadata and its icon, scalable and in the sizes menus ask for.
if(TARGET tagdesk)
  set_target_properties(tagdesk PROPERTIES INSTALL_RPATH "${TAGDESK_INSTALL_RPATH}")
  install(TARGETS tagdesk RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  tagdesk_install_gzipped(tagdesk.1 ${packaging_dir}/man/tagdesk.1 ${man1_dir})
  install(FILES ${packaging_dir}/${TAGDESK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(${packaging_dir}/${TAGDESK_APP_ID}.metainfo.xml ${packaging_out}/${TAGDESK_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${packaging_out}/${TAGDESK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  set(icon_svg ${packaging_dir}/icons/${TAGDESK_APP_ID}.svg)
  install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  # The fixed sizes are rendered from the drawing at build time, where
  # rsvg-convert is there (scripts/install-deps.sh installs it for packaging);
  # without it the scalable icon alone serves.
  find_program(RSVG_CONVERT rsvg-convert)
  if(RSVG_CONVERT)
    set(icon_pngs)
    foreach(size 32 48 64 128 256)
      set(png ${packaging_out}/icons/${size}x${size}/${TAGDESK_APP_ID}.png)
      add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${packaging_out}/icons/${size}x${size}
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_svg}
        DEPENDS ${icon_svg}
        VERBATIM)
      list(APPEND icon_pngs ${png})
      install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(tagdesk_icons ALL DEPENDS ${icon_pngs})
  else()
    message(STATUS "rsvg-convert not found: only the scalable icon is installed")
  endif()
endif()

# The Debian package: `cpack -G DEB` in the build folder (scripts/package.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tagdesk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure UHF RFID readers")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Tagdesk reads the settings stored in a UHF RFID reader into one window of\n\
tabbed pages, lets the operator change them and writes them back, over a\n\
serial port, a USB serial port or TCP/IP. The package holds the window, the\n\
device library libReader with its header and pkg-config file, readersim,\n\
a virtual reader for trying Tagdesk without hardware, and the Ansible\n\
collection tagdesk.readers for configuring readers across many sites.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TAGDESK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Dependencies from the Debian packages of the libraries the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libReader.so.1 for the programs of other packages (the shlibs file), and the
# library cache renewed through dpkg's ldconfig trigger. CPack also writes
# ldconfig calls into postinst and postrm; the trigger does that work, so
# DropMaintainerScripts.cmake takes them out of the built package again.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${packaging_dir}/debian/triggers)
set(CPACK_POST_BUILD_SCRIPTS ${packaging_dir}/DropMaintainerScripts.cmake)
# Some labels and log lines are Chinese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-wqy-microhei)
# The package lays out its files where the build's install rules say.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
include(CPack)
