# cmake -DSOURCE=src -DALLOWED=build/layers.cmake -DCHECKER=cmake/checklayers.cmake -DWORK=dir -P layers_test.cmake
# The layers hold in the tree, and the check catches an include against
# them, in a header as in a source file.
function(run_check source allowed out)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE=${source} -DALLOWED=${allowed} -P ${CHECKER}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  set(${out} ${result} PARENT_SCOPE)
  set(${out}_text "${output}" PARENT_SCOPE)
endfunction()

run_check(${SOURCE} ${ALLOWED} tree)
if(NOT tree EQUAL 0)
  message(FATAL_ERROR "the tree breaks its layers:\n${tree_text}")
endif()

# A small tree of two layers: shell may use settings, not the other way.
file(REMOVE_RECURSE ${WORK})
file(WRITE ${WORK}/layers.cmake "set(ZEB_LAYER_FOLDERS \"settings;shell\")\nset(ZEB_ALLOWED_settings \"settings\")\nset(ZEB_ALLOWED_shell \"settings;shell\")\n")
file(WRITE ${WORK}/src/shell/main.cpp "#include \"settings/options.h\"\n#include \"shell/main.h\"\n")
file(WRITE ${WORK}/src/settings/options.cpp "#include \"settings/options.h\"\n#include <vector>\n")
run_check(${WORK}/src ${WORK}/layers.cmake good)
if(NOT good EQUAL 0)
  message(FATAL_ERROR "a tree that keeps its layers was refused:\n${good_text}")
endif()
foreach(wrong options.h options.cpp)
  file(WRITE ${WORK}/src/settings/${wrong} "#include \"settings/inifile.h\"\n  #  include \"shell/main.h\"\n")
  run_check(${WORK}/src ${WORK}/layers.cmake bad)
  string(REGEX REPLACE "[ \n]+" " " bad_text "${bad_text}")  # CMake wraps its messages
  if(bad EQUAL 0 OR NOT bad_text MATCHES "settings/${wrong}: includes \"shell/\"")
    message(FATAL_ERROR "an include of shell/ from settings/${wrong} was not caught:\n${bad_text}")
  endif()
  file(REMOVE ${WORK}/src/settings/${wrong})
endforeach()
file(REMOVE_RECURSE ${WORK})
