# Byte-for-byte rebuilds of a Windows image. The linker stamps the PE
# header with the time of the link unless SOURCE_DATE_EPOCH is set; here
# that time is the commit's (or the caller's SOURCE_DATE_EPOCH), so two
# builds of one commit, in any folder on any day, give the same file (the
# top-level list keeps build paths out of the objects).
#
# mirtel_source_date_epoch(VAR): the time stamp, or "" when there is none.
# A nested build of the image is handed its parent's as
# MIRTEL_IMAGE_SOURCE_DATE_EPOCH, since it is not configured again when
# only the commit changes.
function(mirtel_source_date_epoch out)
  set(epoch "${MIRTEL_IMAGE_SOURCE_DATE_EPOCH}")
  if(epoch STREQUAL "")
    set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  endif()
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
    set(epoch "")
  endif()
  set(${out} "${epoch}" PARENT_SCOPE)
endfunction()

function(mirtel_reproducible_image target)
  mirtel_source_date_epoch(epoch)
  if(epoch STREQUAL "")
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
