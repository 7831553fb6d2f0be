# googletest from the Debian sources, for the native and the Windows targets alike.
set(gtest_disable_pthreads ${WIN32} CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(WIN32)
  # GCC's win32 thread model has no std::mutex: gtest gets its Notification from us.
  target_compile_definitions(gtest PUBLIC GTEST_HAS_NOTIFICATION_=1)
  target_compile_options(gtest PUBLIC -include ${CMAKE_CURRENT_LIST_DIR}/gtest-win32-notification.h)
endif()

# nivra_add_gtest(name SOURCES ... LIBS ...): one test program, run as one CTest test
# (under wine64 for Windows targets, through the cross-compiling emulator).
function(nivra_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "NIVRA_BUILD_DIR=${CMAKE_BINARY_DIR};${T_ENV}")
endfunction()
