# Run by CPack after it has made the packages. CPack (3.25) writes the -dbgsym package's md5sums
# with the staging directory's absolute paths, which makes the sums useless and leaks the build
# machine's paths; the package also lacks the link to the program's documentation that Debian's
# own debug packages carry. This rebuilds it with relative sums and that link.
find_program(DPKG_DEB dpkg-deb REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "/([^/_]+)-dbgsym_[^/]*\\.ddeb$")
    continue()
  endif()
  set(name "${CMAKE_MATCH_1}")
  set(tree "${package}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND "${DPKG_DEB}" -R "${package}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  file(STRINGS "${tree}/DEBIAN/md5sums" sums)
  list(TRANSFORM sums REPLACE "^([0-9a-f]+)  .*/(usr/lib/debug/.*)$" "\\1  \\2")
  list(JOIN sums "\n" sums)
  file(WRITE "${tree}/DEBIAN/md5sums" "${sums}\n")
  file(MAKE_DIRECTORY "${tree}/usr/share/doc")
  file(CREATE_LINK "${name}" "${tree}/usr/share/doc/${name}-dbgsym" SYMBOLIC)
  execute_process(COMMAND "${DPKG_DEB}" --root-owner-group -Zxz -b "${tree}" "${package}"
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
