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
add_custom_target(readersim_man ALL DEPENDS ${packaging_out}/readersim.1)
install(FILES ${packaging_out}/readersim.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The command-line program, where this tree builds one; its man pages beside it.
if(TARGET tagdesk-cli)
  set_target_properties(tagdesk-cli PROPERTIES INSTALL_RPATH "${TAGDESK_INSTALL_RPATH}")
  install(TARGETS tagdesk-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/docs/tagdesk-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/protocol.md
              ${PROJECT_SOURCE_DIR}/docs/readersim.md
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/tagdesk)

# The window: the program, its entry in the desktop's application menu, its
# AppStream metadata and its icon, scalable and in the sizes menus ask for.
if(TARGET tagdesk)
  set_target_properties(tagdesk PROPERTIES INSTALL_RPATH "${TAGDESK_INSTALL_RPATH}")
  install(TARGETS tagdesk RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${packaging_dir}/man/tagdesk.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
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
device library libReader with its header and pkg-config file, and readersim,\n\
a virtual reader for trying Tagdesk without hardware.")
set(TAGDESK_PACKAGE_MAINTAINER "Tagdesk maintainers <maintainers@tagdesk.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TAGDESK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Dependencies from the Debian packages of the libraries the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Some labels and log lines are Chinese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-wqy-microhei)
# The package lays out its files where the build's install rules say.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
include(CPack)
