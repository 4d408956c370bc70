# The version header names the commit checked out when the build ran: a new commit changes it,
# an unchanged checkout leaves the file (and so every program including it) untouched, and a
# source tree without git gives the plain version.
#
#   cmake -DSOURCE_ROOT=... -DGIT_EXECUTABLE=... -DWORK_DIR=... -P ProgramVersionHeader.cmake

set(template "${SOURCE_ROOT}/cmake/ProgramVersion.h.in")
set(script "${SOURCE_ROOT}/cmake/WriteProgramVersion.cmake")
set(repo "${WORK_DIR}/repo")
set(header "${WORK_DIR}/ProgramVersion.h")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${repo}")

function(run_git)
  execute_process(COMMAND "${GIT_EXECUTABLE}" -c user.name=test -c user.email=test@example.org ${ARGN}
                  WORKING_DIRECTORY "${repo}" OUTPUT_VARIABLE output OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "git ${ARGN} failed")
  endif()
  set(git_output "${output}" PARENT_SCOPE)
endfunction()

function(commit text)
  file(WRITE "${repo}/file.txt" "${text}\n")
  run_git(add file.txt)
  run_git(commit -q -m "${text}")
  run_git(rev-parse --short HEAD)
  set(commit "${git_output}" PARENT_SCOPE)
endfunction()

function(write_header source_dir)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${source_dir} -DTEMPLATE=${template}
                          -DOUTPUT=${header} -DPROJECT_VERSION=9.8.7 -DGIT_EXECUTABLE=${GIT_EXECUTABLE} -P "${script}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "WriteProgramVersion.cmake failed")
  endif()
endfunction()

function(expect_text expected)
  file(STRINGS "${header}" line REGEX "ProgramVersionText")
  string(FIND "${line}" "\"${expected}\"" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "expected \"${expected}\" in: ${line}")
  endif()
endfunction()

run_git(init -q)
commit("first")
write_header("${repo}")
expect_text("9.8.7 (commit ${commit})")

# An unchanged checkout: the header keeps its old date.
execute_process(COMMAND touch -d "2001-02-03 04:05:06" "${header}")
write_header("${repo}")
file(TIMESTAMP "${header}" year "%Y")
if(NOT year STREQUAL "2001")
  message(FATAL_ERROR "an unchanged version rewrote the header (dated ${year})")
endif()

# A new commit without configuring again.
commit("second")
write_header("${repo}")
expect_text("9.8.7 (commit ${commit})")

# An exported tree: no git, the plain version.
file(MAKE_DIRECTORY "${WORK_DIR}/exported")
write_header("${WORK_DIR}/exported")
expect_text("9.8.7")
