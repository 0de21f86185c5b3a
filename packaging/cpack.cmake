# Read by cpack before it writes the package.
# - Its Depends line comes from dpkg-shlibdeps; without it CPack would write
#   a package that depends on nothing, so stop instead.
# - Every timestamp in the archive is SOURCE_DATE_EPOCH, as Debian builds
#   take it: the caller's, else the date of the last entry of
#   packaging/changelog. So a clone, a release tarball, and a tarball
#   unpacked inside some other repository give the same bytes.
find_program(dates_shlibdeps dpkg-shlibdeps)
find_program(dates_parsechangelog dpkg-parsechangelog)
if(NOT dates_shlibdeps OR NOT dates_parsechangelog)
  message(FATAL_ERROR "dpkg-shlibdeps and dpkg-parsechangelog are needed to make the "
                      "package's dependencies and dates: apt-get install dpkg-dev")
endif()
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(
    COMMAND ${dates_parsechangelog} -l "${CPACK_DATES_SOURCE_DIR}/packaging/changelog"
            -STimestamp
    OUTPUT_VARIABLE date_changelog OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE resultat)
  if(NOT resultat EQUAL 0 OR NOT date_changelog MATCHES "^[0-9]+$")
    message(FATAL_ERROR "no date in the last entry of packaging/changelog")
  endif()
  set(ENV{SOURCE_DATE_EPOCH} "${date_changelog}")
endif()
