# Where the build assembles the bundles a host loads: the look's and the film
# texture's, side by side. A tree that builds only the libraries for another
# tree's bundles is handed those bundles' folders.
#
# tonemill_bundle_folders(PREFIX NAME) sets PREFIX_DIR (unless given),
# PREFIX_BINARY_DIR, the folder named for the platform where hosts look for
# the library, and PREFIX_RESOURCES_DIR, and creates both.
macro(tonemill_bundle_folders prefix name)
  if(NOT ${prefix}_DIR)
    set(${prefix}_DIR ${CMAKE_BINARY_DIR}/${name}.ofx.bundle)
  endif()
  if(WIN32)
    set(${prefix}_BINARY_DIR ${${prefix}_DIR}/Contents/Win64)
  else()
    set(${prefix}_BINARY_DIR ${${prefix}_DIR}/Contents/Linux-x86-64)
  endif()
  set(${prefix}_RESOURCES_DIR ${${prefix}_DIR}/Contents/Resources)
  file(MAKE_DIRECTORY ${${prefix}_BINARY_DIR} ${${prefix}_RESOURCES_DIR})
endmacro()

tonemill_bundle_folders(TONEMILL_BUNDLE Tonemill)
tonemill_bundle_folders(TONEMILL_TEXTURE_BUNDLE TonemillTexture)
