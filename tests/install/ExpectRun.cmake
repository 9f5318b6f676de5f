# SPDX-License-Identifier: MIT
# Runs PROGRAM with ARGS (one shell-like string) and checks its exit status and where its text
# went: -DEXIT=<status> -DOUT=<regex> -DERR=<regex>; OUT or ERR "EMPTY" asks for no text at all.
separate_arguments(args UNIX_COMMAND "${ARGS}")
execute_process(COMMAND ${PROGRAM} ${args} RESULT_VARIABLE status OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
set(run "${PROGRAM} ${ARGS}: exit ${status}\nstdout:\n${out}\nstderr:\n${err}")
if(NOT status STREQUAL "${EXIT}")
  message(FATAL_ERROR "expected exit ${EXIT}; ${run}")
endif()
foreach(stream out err)
  string(TOUPPER ${stream} name)
  if(NOT DEFINED ${name})
    continue()
  endif()
  if(${name} STREQUAL "EMPTY")
    if(NOT "${${stream}}" STREQUAL "")
      message(FATAL_ERROR "expected nothing on std${stream}; ${run}")
    endif()
  elseif(NOT "${${stream}}" MATCHES "${${name}}")
    message(FATAL_ERROR "std${stream} does not match '${${name}}'; ${run}")
  endif()
endforeach()
