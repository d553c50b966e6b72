# SALVANTO_SOURCE_DATE_EPOCH: the one time the release's packages record
# (the zip's entries, the installer's), so that two builds of one commit give
# the same bytes wherever and whenever they run. A builder's own
# SOURCE_DATE_EPOCH comes first; then the time of the commit the sources are
# checked out at; a source tree without its history falls back to the
# earliest time a zip can hold (1980-01-01 00:00 UTC), the same every time.
set(SALVANTO_SOURCE_DATE_EPOCH 315532800)
find_package(Git QUIET)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(SALVANTO_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
elseif(GIT_EXECUTABLE)
  # Only this project's own history: a tree unpacked inside another checkout
  # takes the fallback, not that checkout's time.
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --show-toplevel --git-path logs/HEAD
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE _git_paths ERROR_QUIET
                  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _git_failed)
  string(REPLACE "\n" ";" _git_paths "${_git_paths};;")
  list(GET _git_paths 0 _git_top)
  get_filename_component(_source_real ${PROJECT_SOURCE_DIR} REALPATH)
  if(NOT _git_failed AND _git_top STREQUAL _source_real)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE _commit_time ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(_commit_time MATCHES "^[0-9]+$")
      set(SALVANTO_SOURCE_DATE_EPOCH ${_commit_time})
      # A new commit configures again, so that a build never keeps the last one's time.
      list(GET _git_paths 1 _git_log)
      get_filename_component(_git_log ${_git_log} ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
      if(EXISTS ${_git_log})
        set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_git_log})
      endif()
    endif()
  endif()
endif()
if(NOT SALVANTO_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"${SALVANTO_SOURCE_DATE_EPOCH}\": seconds since 1970 expected")
endif()
