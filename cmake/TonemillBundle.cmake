# Where the build assembles the bundle a host loads. A tree that builds only
# the library for another tree's bundle is handed that bundle's folder.
if(NOT TONEMILL_BUNDLE_DIR)
  set(TONEMILL_BUNDLE_DIR ${CMAKE_BINARY_DIR}/Tonemill.ofx.bundle)
endif()
# Hosts look for the library in the folder named for their platform.
if(WIN32)
  set(TONEMILL_BUNDLE_BINARY_DIR ${TONEMILL_BUNDLE_DIR}/Contents/Win64)
else()
  set(TONEMILL_BUNDLE_BINARY_DIR ${TONEMILL_BUNDLE_DIR}/Contents/Linux-x86-64)
endif()
set(TONEMILL_BUNDLE_RESOURCES_DIR ${TONEMILL_BUNDLE_DIR}/Contents/Resources)
file(MAKE_DIRECTORY ${TONEMILL_BUNDLE_BINARY_DIR} ${TONEMILL_BUNDLE_RESOURCES_DIR})
