# Decodes HINT_FILE with ZEBTOOL into OUT and compares it with GOLDEN byte for byte.
execute_process(COMMAND ${ZEBTOOL} decode ${HINT_FILE} -o ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "zebtool decode ${HINT_FILE} exited with ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${GOLDEN} RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${OUT} differs from the golden file ${GOLDEN}; review the difference with: diff ${GOLDEN} ${OUT}")
endif()
