cmake_minimum_required(VERSION 3.25)
# Fails when a source of the core includes anything but the C++ standard library, the core's own
# headers and the version header (plain macros: the product name is the core's title), or when a
# subsystem of the core includes one it must not know. Dependencies run
# one way: app on top; sweep, tray and about beside each other on base; settings on sweep (the
# data files) and base; base on nothing. So no window's presenter can reach into the running
# application. Run with: cmake -DCORE_DIR=<core folder> -P CheckCoreIncludes.cmake
set(standard_headers
  algorithm any array atomic bit bitset cassert cctype cerrno cfloat charconv chrono cinttypes climits
  cmath compare concepts cstddef cstdint cstdio cstdlib cstring ctime deque exception filesystem
  format functional initializer_list iomanip ios iosfwd iostream istream iterator limits list locale
  map memory new numeric optional ostream queue random ranges ratio set source_location span sstream
  stack stdexcept string string_view system_error tuple type_traits typeinfo unordered_map
  unordered_set utility variant vector version)

# The one header from outside the core that any subsystem may include.
set(outside_headers "resources/version.h")

# What each subsystem may include, besides itself.
set(allowed_base "")
set(allowed_sweep base)
set(allowed_tray base)
set(allowed_about base)
set(allowed_settings base sweep)
set(allowed_app base sweep tray about settings)

get_filename_component(root "${CORE_DIR}/.." ABSOLUTE)
file(GLOB_RECURSE sources "${CORE_DIR}/*.h" "${CORE_DIR}/*.cpp")
set(offences "")
foreach(source IN LISTS sources)
  file(RELATIVE_PATH relative "${CORE_DIR}" "${source}")
  string(REGEX MATCH "^[^/]+" subsystem "${relative}")
  if(NOT DEFINED allowed_${subsystem})
    string(APPEND offences "\n  core/${relative}: core/${subsystem}/ is no subsystem this check knows")
    continue()
  endif()
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "<([^>]+)>")
      if(NOT CMAKE_MATCH_1 IN_LIST standard_headers)
        string(APPEND offences "\n  core/${relative}: <${CMAKE_MATCH_1}>")
      endif()
    elseif(line MATCHES "\"([^\"]+)\"")
      set(header "${CMAKE_MATCH_1}")
      if(header IN_LIST outside_headers)
        continue()
      endif()
      if(NOT header MATCHES "^core/([^/]+)/" OR NOT EXISTS "${root}/${header}")
        string(APPEND offences "\n  core/${relative}: \"${header}\" is not a header of the core")
      elseif(NOT CMAKE_MATCH_1 STREQUAL subsystem AND NOT CMAKE_MATCH_1 IN_LIST allowed_${subsystem})
        string(APPEND offences "\n  core/${relative}: \"${header}\" (core/${subsystem}/ may include only itself and: ${allowed_${subsystem}})")
      endif()
    endif()
  endforeach()
endforeach()
if(offences)
  message(FATAL_ERROR "The core may use the C++ standard library, resources/version.h and itself only, in one direction:${offences}")
endif()
list(LENGTH sources count)
message(STATUS "${count} core sources include the standard library, resources/version.h and the core only, in one direction")
