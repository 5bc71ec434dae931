# What `cmake --install` and the Debian package put on a machine: the programs and their man
# pages, the desktop entry and its icon, the copyright and changelog. The simulator is installed
# as it is built: the local run script may grant its build copy the right to bind the board
# port, the package never does.
include(GNUInstallDirs)

set(brenmoor_programs brenmoor brenmoor-board)
if(TARGET brenmoor-cli)
  list(APPEND brenmoor_programs brenmoor-cli)
endif()
install(TARGETS ${brenmoor_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripping install (cpack's) also drops what dh_strip drops from Debian's own programs: the
# compilers' banners in .comment and the .note section.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program ${brenmoor_programs})
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
        --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")
install(FILES ${PROJECT_SOURCE_DIR}/data/brenmoor.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/brenmoor.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Man pages made from each program's own --help and --version at build time, so they say what
# the program says. Debian wants them, and the changelog, compressed without a time stamp.
find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)
set(brenmoor_summary_brenmoor "terminal for networked BASIC controller boards")
set(brenmoor_summary_brenmoor-board "simulator of a networked BASIC controller board")
set(brenmoor_summary_brenmoor-cli "board transfers and MODBUS requests from the command line")
set(brenmoor_docs)
foreach(program IN LISTS brenmoor_programs)
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
  # No display, as on a build machine: --help and --version must not need one.
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
      --unset=QT_QPA_PLATFORM ASAN_OPTIONS=detect_leaks=0
      ${HELP2MAN} --no-info --section=1 "--source=Brenmoor ${PROJECT_VERSION}"
      "--name=${brenmoor_summary_${program}}" --output=${page} $<TARGET_FILE:${program}>
    COMMAND ${GZIP} -9nf ${page}
    DEPENDS ${program}
    COMMENT "Man page of ${program}"
    VERBATIM)
  list(APPEND brenmoor_docs ${page}.gz)
endforeach()
set(changelog ${CMAKE_BINARY_DIR}/doc/changelog.Debian)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/changelog ${changelog}
  COMMAND ${GZIP} -9nf ${changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(brenmoor_docs ALL DEPENDS ${brenmoor_docs} ${changelog}.gz)
list(TRANSFORM brenmoor_programs PREPEND ${CMAKE_BINARY_DIR}/man/ OUTPUT_VARIABLE pages)
list(TRANSFORM pages APPEND .1.gz)
install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# GNUInstallDirs' DOCDIR would take the project's name, "Brenmoor"; Debian's is the package's.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${changelog}.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brenmoor)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME brenmoor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brenmoor)
set(CPACK_PACKAGE_VENDOR "Brenmoor team")
set(CPACK_PACKAGE_CONTACT "Brenmoor team <team@brenmoor.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Terminal for networked BASIC boards over UDP or serial, with MODBUS tools")
set(CPACK_PACKAGE_DESCRIPTION [[
Brenmoor talks to one microcontroller board at a time over UDP or a serial
port: command lines and a console, a command buffer, keyword help for the
board's BASIC, BASIC program and flash-disk transfers, and MODBUS RTU request
building, monitoring and decoding.

The package also holds brenmoor-board, a board simulator to try the terminal
without hardware, and brenmoor-cli, which does the same board work from
scripts and CI.]])
set(CPACK_PACKAGE_INSTALL_DIRECTORY brenmoor)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.brenmoor.example/")
set(CPACK_STRIP_FILES ON)
# dpkg-shlibdeps missing makes cpack leave Depends out without failing; this check fails it.
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/CheckPackageDepends.cmake)

# The package's version is the changelog's newest entry; the two must not drift apart.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog changelog_top LIMIT_COUNT 1)
set(package_version ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
string(REGEX MATCH "^brenmoor \\(([^)]*)\\)" changelog_top "${changelog_top}")
if(NOT CMAKE_MATCH_1 STREQUAL package_version)
  message(FATAL_ERROR "packaging/changelog must start with an entry for ${package_version}")
endif()
include(CPack)
