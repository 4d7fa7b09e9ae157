# The Windows release: the program, its help text and a short read-me, nothing to install. Its name
# carries the version as the program shows it ("1.00"), read from the one version header.
set(LATCHSWEEP_RELEASE_ZIP "${CMAKE_BINARY_DIR}/latchsweep-${LATCHSWEEP_VERSION_TEXT}-win32.zip")
set(release_dir "${CMAKE_CURRENT_BINARY_DIR}/release")
file(MAKE_DIRECTORY "${release_dir}")
# Notepad before Windows 10 shows a text file on one line unless its lines end in CR LF.
configure_file(readme-windows.txt.in "${release_dir}/readme.txt" @ONLY NEWLINE_STYLE CRLF)
add_custom_command(OUTPUT "${LATCHSWEEP_RELEASE_ZIP}"
  COMMAND "${CMAKE_COMMAND}" -E copy "$<TARGET_FILE:latchsweep>" "${release_dir}/latchsweep.exe"
  COMMAND "${CMAKE_COMMAND}" -E copy "${PROJECT_SOURCE_DIR}/resources/help.txt" "${release_dir}/help.txt"
  COMMAND "${CMAKE_COMMAND}" -E rm -f "${LATCHSWEEP_RELEASE_ZIP}"
  COMMAND "${CMAKE_COMMAND}" -E tar cf "${LATCHSWEEP_RELEASE_ZIP}" --format=zip latchsweep.exe help.txt readme.txt
  WORKING_DIRECTORY "${release_dir}"
  DEPENDS latchsweep "${PROJECT_SOURCE_DIR}/resources/help.txt" "${release_dir}/readme.txt"
  COMMENT "Packing ${LATCHSWEEP_RELEASE_ZIP}"
  VERBATIM)
add_custom_target(release-zip DEPENDS "${LATCHSWEEP_RELEASE_ZIP}")
set(LATCHSWEEP_RELEASE_ZIP "${LATCHSWEEP_RELEASE_ZIP}" PARENT_SCOPE)
