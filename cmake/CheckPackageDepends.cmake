# Run by cpack once the package is made. Without dpkg-shlibdeps (package dpkg-dev) cpack only
# prints a note and writes a package without Depends, which installs on a machine without Qt
# and fails only when started: remove such a package and fail the build.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND dpkg-deb --field ${package} Depends
    OUTPUT_VARIABLE depends OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
  if(failed OR depends STREQUAL "")
    file(REMOVE ${package})
    message(FATAL_ERROR "${package} came out without Depends (is dpkg-dev installed?); "
      "removed it")
  endif()
endforeach()
