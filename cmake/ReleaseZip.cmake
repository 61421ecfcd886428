# Run by cpack after it has zipped the staged files (CPACK_POST_BUILD_SCRIPTS), before it copies
# the zip out and writes its SHA-256: makes the zip again so that its bytes depend on the packaged
# files alone. CPack's own zip lists the entries in the file system's directory order (which
# differs between file systems), dates them at build time and writes their DOS times in the
# builder's time zone. Here the entries come in sorted order, every time in them (modified,
# accessed, changed) is the last commit's, and DOS times are UTC. The entries still carry the
# builder's numeric user and group (CMake before 4.3 cannot set them): 0 and 0 for root.

# The time: SOURCE_DATE_EPOCH when set, else the last commit's, else 1980-01-01, zip's earliest.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(NOT epoch MATCHES "^[0-9]+$")
  find_program(PATCH_GIT git)
  if(PATCH_GIT)
    execute_process(COMMAND "${PATCH_GIT}" -C "${CPACK_PATCH_SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    message(WARNING "No commit time in ${CPACK_PATCH_SOURCE_DIR}: the zip's entries get 1980-01-01.")
    set(epoch 315532800)
  endif()
endif()

# The entries' names keep the top-level folder (CPACK_INCLUDE_TOPLEVEL_DIRECTORY is on).
file(GLOB_RECURSE entries LIST_DIRECTORIES false RELATIVE "${CPACK_TOPLEVEL_DIRECTORY}"
     "${CPACK_TEMPORARY_DIRECTORY}/*")
list(SORT entries)
file(REMOVE "${CPACK_PACKAGE_FILES}")
# cmake -E tar gives every entry SOURCE_DATE_EPOCH for each of its times; UTF-8 names need a
# UTF-8 locale.
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E env SOURCE_DATE_EPOCH=${epoch} TZ=UTC0 LC_ALL=C.UTF-8
          "${CMAKE_COMMAND}" -E tar cf "${CPACK_PACKAGE_FILES}" --format=zip -- ${entries}
  WORKING_DIRECTORY "${CPACK_TOPLEVEL_DIRECTORY}"
  COMMAND_ERROR_IS_FATAL ANY)
