# Writes ProgramVersion.h from its template with the commit checked out now. Run at every
# build, so that a build made after a commit names that commit without configuring again;
# configure_file leaves an unchanged header untouched, so nothing is recompiled for it.
#
#   cmake -DSOURCE_DIR=... -DTEMPLATE=... -DOUTPUT=... -DPROJECT_VERSION=... [-DGIT_EXECUTABLE=...]
#         -P WriteProgramVersion.cmake

foreach(required SOURCE_DIR TEMPLATE OUTPUT PROJECT_VERSION)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "WriteProgramVersion.cmake needs -D${required}=...")
  endif()
endforeach()

set(QUOX_GIT_COMMIT "")
if(GIT_EXECUTABLE AND EXISTS "${SOURCE_DIR}/.git")
  execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --short HEAD WORKING_DIRECTORY "${SOURCE_DIR}"
                  OUTPUT_VARIABLE QUOX_GIT_COMMIT OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(QUOX_GIT_COMMIT)
  set(QUOX_VERSION_TEXT "${PROJECT_VERSION} (commit ${QUOX_GIT_COMMIT})")
else()
  set(QUOX_VERSION_TEXT "${PROJECT_VERSION}")
endif()
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
