# Fails unless the library's dynamic symbol table defines the OpenFX exports and
# nothing else. Usage:
#   cmake -DLIBRARY=<path> [-DALSO_ALLOWED=<name;...>] -P check_exports.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND nm -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm could not read ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
set(exports "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* " "" name "${line}")
  list(APPEND exports ${name})
endforeach()
foreach(required OfxGetNumberOfPlugins OfxGetPlugin)
  if(NOT required IN_LIST exports)
    message(FATAL_ERROR "${LIBRARY} does not export ${required}")
  endif()
endforeach()
list(REMOVE_ITEM exports OfxGetNumberOfPlugins OfxGetPlugin ${ALSO_ALLOWED})
if(exports)
  message(FATAL_ERROR "${LIBRARY} also exports: ${exports}")
endif()
