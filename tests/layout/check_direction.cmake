# Compiles one include from a folder's own include root and checks that it is found
# exactly when the folder may include it: a folder above is never found.
#   cmake -DCXX=<compiler> -DROOTS=<build>/include_roots -DWORK=<dir> -P check_direction.cmake
set(cases
  "platform|base/error.h|found"
  "transfer|base/text.h|found"
  "ui|setup/session.h|found"
  "setup|transfer/progress_bar.h|found"
  "base|transfer/progress_bar.h|missing"
  "platform|setup/session.h|missing"
  "transfer|platform/shell.h|missing"
  "setup|ui/form1_layout.h|missing"
  "ui|app/com_apartment_win32.h|missing")
file(MAKE_DIRECTORY ${WORK})
set(failures 0)
foreach(case ${cases})
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 folder)
  list(GET parts 1 header)
  list(GET parts 2 expected)
  file(WRITE ${WORK}/probe.cpp "#include \"${header}\"\n")
  execute_process(COMMAND ${CXX} -std=c++20 -fsyntax-only -I ${ROOTS}/${folder} ${WORK}/probe.cpp
                  RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(result EQUAL 0)
    set(got found)
  elseif(errors MATCHES "No such file|file not found")
    set(got missing)
  else()
    string(REGEX REPLACE "\n.*" "" first_line "${errors}")
    set(got "broken (${first_line})")
  endif()
  if(NOT got STREQUAL expected)
    message(SEND_ERROR "${folder} including ${header}: ${got}, expected ${expected}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
if(failures EQUAL 0)
  message(STATUS "every folder includes only itself and the folders below it")
endif()
