# GoogleTest: the system package natively, its sources when cross-building (no prebuilt library fits).
if(CMAKE_CROSSCOMPILING)
  if(NOT TARGET GTest::gtest_main)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/_googletest" EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest) # googletest 1.11 and later define the aliases themselves
      add_library(GTest::gtest ALIAS gtest)
      add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
  endif()
else()
  find_package(GTest REQUIRED)
endif()

# latchsweep_test(<name> SOURCES ... [LIBS ...] [LABELS ...])
# One executable per subsystem, registered with CTest as a single test; when cross-building,
# CTest runs it through CMAKE_CROSSCOMPILING_EMULATOR (Wine).
function(latchsweep_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  latchsweep_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
