# cmake -DIDENTIFY=<identify> -DICON_DIR=<dir> -P identify_icons.cmake
# ImageMagick must read every generated icon file and find its images at the expected sizes.
set(expected_magnet "32x32;16x16")
set(expected_frame1 "32x32")
set(expected_frame2 "32x32")
set(expected_binoculars "32x32;16x16")
set(expected_wastebin "32x32;16x16")
set(expected_question "32x32;32x32;32x32")
set(expected_info "32x32;16x16")
set(expected_product "32x32;16x16")

foreach(name magnet frame1 frame2 binoculars wastebin question info product)
  set(ico "${ICON_DIR}/${name}.ico")
  if(NOT EXISTS "${ico}")
    message(FATAL_ERROR "${ico} was not generated")
  endif()
  execute_process(COMMAND "${IDENTIFY}" -format "%wx%h;" "${ico}"
    RESULT_VARIABLE result OUTPUT_VARIABLE sizes ERROR_VARIABLE errors)
  string(REGEX REPLACE ";$" "" sizes "${sizes}")
  if(NOT result EQUAL 0 OR NOT errors STREQUAL "" OR NOT sizes STREQUAL expected_${name})
    message(FATAL_ERROR "${name}.ico: identify says '${sizes}' (expected '${expected_${name}}'), exit ${result}\n${errors}")
  endif()
  message(STATUS "${name}.ico: ${sizes}")
endforeach()
