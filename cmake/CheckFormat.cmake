cmake_minimum_required(VERSION 3.25)
# Fails when a C++ source of the project is not laid out as the repository's .clang-format says.
# Run with: cmake -DSOURCE_DIR=<repository root> -DCLANG_FORMAT=<clang-format> -P CheckFormat.cmake
set(folders core qt win32 platform tests bench fuzz)
set(sources "")
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE found "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  list(APPEND sources ${found})
endforeach()
list(SORT sources)
execute_process(COMMAND "${CLANG_FORMAT}" --style=file --dry-run --Werror ${sources}
                WORKING_DIRECTORY "${SOURCE_DIR}" RESULT_VARIABLE status ERROR_VARIABLE complaints)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "Not formatted with .clang-format (fix with clang-format -i):\n${complaints}")
endif()
list(LENGTH sources count)
message(STATUS "${count} sources formatted as .clang-format says")
