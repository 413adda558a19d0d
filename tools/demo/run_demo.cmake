# Runs the demo and checks its exit status and output.
#   cmake -DDEMO=<program> [-DEMULATOR=<runner>] -DEXIT=<zero|nonzero> -DEXPECT=<regex> -P run_demo.cmake
foreach(variable DEMO EXIT EXPECT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run_demo.cmake needs -D${variable}=...")
  endif()
endforeach()

execute_process(COMMAND ${EMULATOR} "${DEMO}" RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message(STATUS "exit status ${status}\n${output}${errors}")

if(EXIT STREQUAL "zero" AND NOT status EQUAL 0)
  message(FATAL_ERROR "the demo failed")
elseif(EXIT STREQUAL "nonzero" AND (status EQUAL 0 OR NOT status MATCHES "^[0-9]+$"))
  message(FATAL_ERROR "the demo should have exited with a failure status")
endif()
if(NOT "${output}${errors}" MATCHES "${EXPECT}")
  message(FATAL_ERROR "the output does not match: ${EXPECT}")
endif()
