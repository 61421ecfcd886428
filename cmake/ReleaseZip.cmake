# Run by cpack after it has zipped the staged files (CPACK_POST_BUILD_SCRIPTS), before it copies
# the zip out and writes its SHA-256: makes the zip again so that its bytes depend on the packaged
# files alone. CPack's own zip lists the entries in the file system's directory order (which
# differs between file systems), dates them at build time and writes their DOS times in the
# builder's time zone, and with the builder's numeric user and group (CMake before 4.3 cannot set
# them). Here the entries come in sorted order, every time in them (modified, accessed, changed) is
# the last commit's, DOS times are UTC, and the user and group are root's, 0 and 0.

# The time: SOURCE_DATE_EPOCH when set, else the last commit's, else 1980-01-01, zip's earliest.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(NOT epoch MATCHES "^[0-9]+$")
  find_program(PATCH_GIT git)
  if(PATCH_GIT)
    # A clone owned by another user is read all the same: its code is being built anyway.
    execute_process(COMMAND "${PATCH_GIT}" -c "safe.directory=${CPACK_PATCH_SOURCE_DIR}"
                            -C "${CPACK_PATCH_SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    message(WARNING "No commit time in ${CPACK_PATCH_SOURCE_DIR}: the zip's entries get 1980.")
    set(epoch 315532800)
  endif()
endif()

# The entries' names keep the top-level folder (CPACK_INCLUDE_TOPLEVEL_DIRECTORY is on).
file(GLOB_RECURSE entries LIST_DIRECTORIES false RELATIVE "${CPACK_TOPLEVEL_DIRECTORY}"
     "${CPACK_TEMPORARY_DIRECTORY}/*")
list(SORT entries)

# A builder other than root zips under fakeroot, where the files are root's.
set(as_root "")
find_program(PATCH_ID id)
if(PATCH_ID)
  execute_process(COMMAND "${PATCH_ID}" -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
  find_program(PATCH_FAKEROOT fakeroot)
  if(NOT uid STREQUAL "0" AND PATCH_FAKEROOT)
    set(as_root "${PATCH_FAKEROOT}")
  elseif(NOT uid STREQUAL "0")
    message(WARNING "No fakeroot: the zip's entries carry user ${uid}, not root's 0 as released.")
  endif()
endif()

file(REMOVE "${CPACK_PACKAGE_FILES}")
# cmake -E tar gives every entry SOURCE_DATE_EPOCH for each of its times; UTF-8 names need a
# UTF-8 locale.
execute_process(
  COMMAND ${as_root} "${CMAKE_COMMAND}" -E env SOURCE_DATE_EPOCH=${epoch} TZ=UTC0 LC_ALL=C.UTF-8
          "${CMAKE_COMMAND}" -E tar cf "${CPACK_PACKAGE_FILES}" --format=zip -- ${entries}
  WORKING_DIRECTORY "${CPACK_TOPLEVEL_DIRECTORY}"
  COMMAND_ERROR_IS_FATAL ANY)
