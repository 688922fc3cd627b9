# Each library of the plug-in sees, by path from the repository root, only its
# own folders and those of the libraries it links: a header of a higher layer
# is simply not found, so the build itself keeps the layers apart. The folders
# are linked into an include root of the library's own in the build tree.
function(tonemill_include_folders target scope)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  foreach(folder IN LISTS ARGN)
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT EXISTS ${root}/${folder})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()
