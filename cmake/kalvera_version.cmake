# Turns a release version X.Y.Z into the four numbers of the executable's version record.
# Each number is a 16-bit field there, so a larger one would wrap silently; a leading zero
# would be read as octal by the resource compiler ("08" fails, "010" becomes 8).
#
# Included by the build, or run alone to check a version before a release is built:
#   cmake -DKALVERA_VERSION=X.Y.Z -P kalvera_version.cmake   prints X,Y,Z,0 or fails
function(kalvera_version_fields version out)
  set(number "(0|[1-9][0-9]*)")
  if(NOT version MATCHES "^${number}\\.${number}\\.${number}$")
    message(FATAL_ERROR "version \"${version}\": give X.Y.Z, three numbers without leading zeros")
  endif()
  set(fields ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3})
  foreach(field ${fields})
    if(field GREATER 65535)
      message(FATAL_ERROR "version \"${version}\": ${field} is over 65535, the largest a version record holds")
    endif()
  endforeach()
  list(APPEND fields 0)
  set(${out} ${fields} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  kalvera_version_fields("${KALVERA_VERSION}" fields)
  list(JOIN fields "," text)
  message(NOTICE "${text}")
endif()
