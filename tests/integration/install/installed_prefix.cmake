# Installs the build tree into a scratch prefix and runs the installed command
# line there with an empty environment: it must find the bundles installed
# beside it, not one of the build tree's or the system's.
#   cmake -DBUILD_DIR=<tree> -DPREFIX=<scratch folder> -P installed_prefix.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install into ${PREFIX} failed: ${errors}")
endif()

set(program ${PREFIX}/bin/tonemill)
execute_process(COMMAND env -i ${program} info
                RESULT_VARIABLE result OUTPUT_VARIABLE report ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${program} info failed (${result}): ${errors}")
endif()
string(FIND "${report}" "bundle:      ${PREFIX}/OFX/Plugins/Tonemill.ofx.bundle" found)
if(found EQUAL -1)
  message(FATAL_ERROR "${program} info did not report the installed bundle:\n${report}")
endif()
# The texture bundle is installed beside the look's and found the same way.
execute_process(COMMAND env -i ${program} list --effect texture
                RESULT_VARIABLE result OUTPUT_VARIABLE listing ERROR_VARIABLE errors)
string(FIND "${listing}" "grainAmount" found)
if(NOT result EQUAL 0 OR found EQUAL -1 OR NOT EXISTS ${PREFIX}/OFX/Plugins/TonemillTexture.ofx.bundle)
  message(FATAL_ERROR "${program} list --effect texture did not list the installed texture effect (${result}):\n"
                      "${listing}${errors}")
endif()
# The shipped looks are found from the prefix too.
execute_process(COMMAND env -i ${program} looks
                RESULT_VARIABLE result OUTPUT_VARIABLE listing ERROR_VARIABLE errors)
string(FIND "${listing}" "(in ${PREFIX}/share/tonemill/looks;" found)
if(NOT result EQUAL 0 OR found EQUAL -1)
  message(FATAL_ERROR "${program} looks did not list the installed looks (${result}):\n${listing}${errors}")
endif()
file(REMOVE_RECURSE ${PREFIX})
