# brenmoor_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2)
# Every test runs in its own temporary working directory (the program's files live in the
# current directory) with the offscreen platform and a private runtime directory, on the event
# loop the programs choose for themselves (useTimerFairEventLoop).
function(brenmoor_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
  set(work ${CMAKE_BINARY_DIR}/testwork/${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_NO_GLIB=1;XDG_RUNTIME_DIR=${work}/runtime;ASAN_OPTIONS=detect_leaks=0:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    TIMEOUT 120)
  file(MAKE_DIRECTORY ${work}/runtime)
  file(CHMOD ${work}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()

# brenmoor_core_library(NAME SOURCES a.cpp QT Qt6::Network LIBS other_core)
# A widget-free target: Qt Core and the named Qt modules only, never Qt Widgets, so an include
# of a widget header fails to build (form headers refuse BRENMOOR_WIDGET_FREE as well).
function(brenmoor_core_library name)
  cmake_parse_arguments(L "EXCLUDE_FROM_ALL" "" "SOURCES;QT;LIBS" ${ARGN})
  if(L_EXCLUDE_FROM_ALL)
    add_library(${name} STATIC EXCLUDE_FROM_ALL ${L_SOURCES})
  else()
    add_library(${name} STATIC ${L_SOURCES})
  endif()
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core ${L_QT} ${L_LIBS})
  target_compile_definitions(${name} PRIVATE BRENMOOR_WIDGET_FREE)
endfunction()
