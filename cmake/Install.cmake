# What `cmake --install` and the Debian package put on a machine: the programs, the desktop
# entry and its icon. The simulator is installed as it is built: the local run script may grant
# its build copy the right to bind the board port, the package never does.
include(GNUInstallDirs)

set(brenmoor_programs brenmoor brenmoor-board)
if(TARGET brenmoor-cli)
  list(APPEND brenmoor_programs brenmoor-cli)
endif()
install(TARGETS ${brenmoor_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/brenmoor.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/brenmoor.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brenmoor)
set(CPACK_PACKAGE_VENDOR "Brenmoor team")
set(CPACK_PACKAGE_CONTACT "Brenmoor team <team@brenmoor.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Terminal for networked BASIC controller boards over UDP or serial, with MODBUS tools")
set(CPACK_PACKAGE_DESCRIPTION
  "Brenmoor talks to one board at a time over UDP or a serial port: command lines and a console, a command buffer, keyword help, BASIC program and flash-disk transfers, and MODBUS RTU request building, monitoring and decoding. It comes with a board simulator and a command-line client.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY brenmoor)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.brenmoor.example/")
set(CPACK_STRIP_FILES ON)
include(CPack)
