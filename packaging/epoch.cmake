# Read by cpack before it writes a package: every timestamp in the archive
# comes from SOURCE_DATE_EPOCH, so two builds of one commit give the same
# bytes. When the caller sets none, the last commit's date serves.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "${CPACK_DATES_SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE date_commit OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE resultat ERROR_QUIET)
  if(resultat EQUAL 0 AND date_commit MATCHES "^[0-9]+$")
    set(ENV{SOURCE_DATE_EPOCH} "${date_commit}")
  else()
    message(FATAL_ERROR "no SOURCE_DATE_EPOCH and no git commit to take it from")
  endif()
endif()
