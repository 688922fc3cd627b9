#!/usr/bin/env bash
# Builds the plug-in library for 64-bit Windows with MinGW-w64, without CUDA,
# warnings as errors, so the Windows code paths keep compiling, and the host
# of ours that scripts/check-windows.sh runs it with under Wine. LodePNG is
# compiled in from Debian's own source package; OpenCL needs only
# its headers, since the plug-in opens the loader at run time.
#
#   scripts/build-windows.sh [build-folder]     (default: build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath -m "${1:-build-windows}")
prefix=$build/windows-deps
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev dpkg-dev opencl-headers)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" > /dev/null
fi

# LodePNG from the source package of the installed Debian release, compiled
# into the plug-in by the build.
lodepng_source=$(bash scripts/lodepng-source.sh "$build/lodepng-source")

# The Khronos headers are the same for every target; only they are shared
# with the build machine, never the rest of /usr/include.
mkdir -p "$prefix/include"
ln -sfn /usr/include/CL "$prefix/include/CL"

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DTONEMILL_WINDOWS_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release \
  -DTONEMILL_WERROR=ON \
  -DTONEMILL_CUDA=OFF \
  -DTONEMILL_BUILD_TESTS=OFF \
  -DTONEMILL_SKIP="tools;data;bench" \
  -DTONEMILL_OPENCL_INCLUDE_DIR="$prefix/include" \
  -DTONEMILL_LODEPNG_SOURCE_DIR="$lodepng_source"
cmake --build "$build" --target Tonemill TonemillTexture tonemill-render-cases -j "${TONEMILL_JOBS:-$(nproc)}"

contents=$build/Tonemill.ofx.bundle/Contents
test -f "$contents/Win64/Tonemill.ofx"
echo "Built $contents/Win64/Tonemill.ofx"
