cmake_minimum_required(VERSION 3.25)
# Fails when a source of the core includes anything but the C++ standard library or the core's
# own headers. Run with: cmake -DCORE_DIR=<core folder> -P CheckCoreIncludes.cmake
set(standard_headers
  algorithm any array atomic bit bitset cassert cctype cerrno cfloat charconv chrono cinttypes climits
  cmath compare concepts cstddef cstdint cstdio cstdlib cstring ctime deque exception filesystem
  format functional initializer_list iomanip ios iosfwd iostream istream iterator limits list locale
  map memory new numeric optional ostream queue random ranges ratio set source_location span sstream
  stack stdexcept string string_view system_error tuple type_traits typeinfo unordered_map
  unordered_set utility variant vector version)

file(GLOB_RECURSE sources "${CORE_DIR}/*.h" "${CORE_DIR}/*.cpp")
set(offences "")
foreach(source IN LISTS sources)
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "<([^>]+)>")
      if(NOT CMAKE_MATCH_1 IN_LIST standard_headers)
        string(APPEND offences "\n  ${source}: <${CMAKE_MATCH_1}>")
      endif()
    elseif(line MATCHES "\"([^\"]+)\"")
      if(NOT EXISTS "${CORE_DIR}/${CMAKE_MATCH_1}")
        string(APPEND offences "\n  ${source}: \"${CMAKE_MATCH_1}\" is not a header of the core")
      endif()
    endif()
  endforeach()
endforeach()
if(offences)
  message(FATAL_ERROR "The core may use the C++ standard library and itself only:${offences}")
endif()
list(LENGTH sources count)
message(STATUS "${count} core sources include the standard library and the core only")
