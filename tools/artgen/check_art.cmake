# Regenerates the art into OUTPUT and compares it with the committed files
# in EXPECTED: same names, same bytes.
file(REMOVE_RECURSE ${OUTPUT})
file(MAKE_DIRECTORY ${OUTPUT})
execute_process(COMMAND ${EMULATOR} ${GENERATOR} ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "zelo-artgen failed: ${result}")
endif()

file(GLOB generated RELATIVE ${OUTPUT} ${OUTPUT}/*)
file(GLOB committed RELATIVE ${EXPECTED} ${EXPECTED}/*)
list(SORT generated)
list(SORT committed)
if(NOT generated STREQUAL committed)
  message(FATAL_ERROR "file sets differ:\n generated: ${generated}\n committed: ${committed}")
endif()
if(generated STREQUAL "")
  message(FATAL_ERROR "nothing generated")
endif()

foreach(name IN LISTS generated)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT}/${name} ${EXPECTED}/${name}
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "${name} differs from the generator's output; rerun zelo-artgen ${EXPECTED}")
  endif()
endforeach()
message(STATUS "art matches: ${generated}")
