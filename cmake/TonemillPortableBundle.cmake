# The bundle's Linux library, built in a tree of its own with Zig's toolchain
# for glibc 2.28 (cmake/portable-linux.cmake) from the same sources and
# options as this tree, with LodePNG compiled in from Debian's source package.
# This tree's compiler still builds everything else (the host library, the
# tools and the tests, which link Debian's C++ libraries): they reach the
# plug-in only through its C entry points, so the two C++ runtimes never meet.
#
# `Tonemill` (and `TonemillTexture`, the texture bundle's library) stands for that library here as an imported target, so the tests
# name its file and depend on it as they would on a library built in-tree.

execute_process(COMMAND python3 -m ziglang version
                OUTPUT_VARIABLE zig_version OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE zig_result ERROR_QUIET)
if(NOT zig_result EQUAL 0)
  message(FATAL_ERROR
    "TONEMILL_PORTABLE_BUNDLE needs Zig's toolchain for python3 "
    "(python3 -m pip install ziglang, as scripts/install-deps.sh does); configure with "
    "-DTONEMILL_PORTABLE_BUNDLE=OFF for a library that needs this machine's C++ runtime")
endif()
message(STATUS "Tonemill: the bundle's library is built with Zig ${zig_version} for glibc 2.28")

set(portable_dir ${CMAKE_BINARY_DIR}/portable)
execute_process(
  COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/lodepng-source.sh ${portable_dir}/lodepng-source
  OUTPUT_VARIABLE lodepng_source OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE lodepng_result)
if(NOT lodepng_result EQUAL 0)
  message(FATAL_ERROR "Could not unpack LodePNG's Debian source package into ${portable_dir}/lodepng-source")
endif()

# The OpenCL headers alone, never the rest of /usr/include: the C library's
# headers there are newer than the glibc the library is built for.
find_path(TONEMILL_OPENCL_INCLUDE_DIR CL/cl.h REQUIRED)
set(opencl_include ${portable_dir}/include)
file(MAKE_DIRECTORY ${opencl_include})
file(CREATE_LINK ${TONEMILL_OPENCL_INCLUDE_DIR}/CL ${opencl_include}/CL SYMBOLIC)

set(forwarded "")
foreach(name CMAKE_BUILD_TYPE TONEMILL_WERROR TONEMILL_CUDA TONEMILL_NVRTC_LIBRARY
             TONEMILL_CUDA_CUBIN_ARCHITECTURES TONEMILL_CUDA_PTX_ARCHITECTURES)
  if(DEFINED ${name})
    string(REPLACE ";" "|" value "${${name}}")
    list(APPEND forwarded "-D${name}=${value}")
  endif()
endforeach()

set(portable_library ${TONEMILL_BUNDLE_BINARY_DIR}/Tonemill.ofx)
set(portable_texture_library ${TONEMILL_TEXTURE_BUNDLE_BINARY_DIR}/TonemillTexture.ofx)
include(ExternalProject)
ExternalProject_Add(tonemill_portable_library
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${portable_dir}/build
  PREFIX ${portable_dir}
  LIST_SEPARATOR |
  CMAKE_GENERATOR Ninja
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/portable-linux.cmake
    ${forwarded}
    -DTONEMILL_BUILD_TESTS=OFF
    -DTONEMILL_SKIP=host|tools|data|tests|bench
    -DTONEMILL_BUNDLE_DIR=${TONEMILL_BUNDLE_DIR}
    -DTONEMILL_TEXTURE_BUNDLE_DIR=${TONEMILL_TEXTURE_BUNDLE_DIR}
    -DTONEMILL_LODEPNG_SOURCE_DIR=${lodepng_source}
    -DTONEMILL_OPENCL_INCLUDE_DIR=${opencl_include}
    -DCMAKE_DISABLE_FIND_PACKAGE_OpenCLHeaders=ON
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target Tonemill TonemillTexture
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  CONFIGURE_HANDLED_BY_BUILD ON
  BUILD_BYPRODUCTS ${portable_library} ${portable_texture_library}
  USES_TERMINAL_CONFIGURE ON
  USES_TERMINAL_BUILD ON)

add_library(Tonemill MODULE IMPORTED GLOBAL)
set_target_properties(Tonemill PROPERTIES IMPORTED_LOCATION ${portable_library})
add_dependencies(Tonemill tonemill_portable_library)

add_library(TonemillTexture MODULE IMPORTED GLOBAL)
set_target_properties(TonemillTexture PROPERTIES IMPORTED_LOCATION ${portable_texture_library})
add_dependencies(TonemillTexture tonemill_portable_library)
