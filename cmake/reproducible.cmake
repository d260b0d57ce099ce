# Byte-for-byte rebuilds of a Windows image. The linker stamps the PE
# header with the time of the link unless SOURCE_DATE_EPOCH is set; here
# that time is the commit's (or the caller's SOURCE_DATE_EPOCH), so two
# builds of one commit, in any folder on any day, give the same file (the
# top-level list keeps build paths out of the objects).
function(mirtel_reproducible_image target)
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  if(epoch STREQUAL "")
    execute_process(COMMAND git log -1 --format=%ct
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE git_status ERROR_QUIET)
    if(NOT git_status EQUAL 0)
      set(epoch "")
    endif()
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    message(WARNING "${target}: neither SOURCE_DATE_EPOCH nor a git commit gives a time stamp; "
                    "the image carries the time of its link and cannot be rebuilt byte for byte")
    return()
  endif()
  # A commit whose sources are unchanged still gets its own time stamp:
  # the file holding it is a dependency of the link.
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.source-date-epoch)
  file(CONFIGURE OUTPUT ${stamp} CONTENT "${epoch}\n")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${stamp})
  set_property(TARGET ${target} PROPERTY RULE_LAUNCH_LINK "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${epoch}")
endfunction()
