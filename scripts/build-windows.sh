#!/usr/bin/env bash
# Builds the plug-in library for 64-bit Windows with MinGW-w64, without CUDA,
# warnings as errors, so the Windows code paths keep compiling. LodePNG is
# built for the target from Debian's own source package; OpenCL needs only
# its headers, since the plug-in opens the loader at run time.
#
#   scripts/build-windows.sh [build-folder]     (default: build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath -m "${1:-build-windows}")
prefix=$build/windows-deps
triple=x86_64-w64-mingw32
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

# LodePNG from the source package of the installed Debian release.
if [ ! -f "$prefix/lib/liblodepng.a" ]; then
  if ! apt-get source --print-uris lodepng > /dev/null 2>&1; then
    sources=/etc/apt/sources.list.d/tonemill-deb-src.sources
    if [ ! -f "$sources" ]; then
      codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
      printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$codename" | $SUDO tee "$sources" > /dev/null
    fi
    $SUDO apt-get update -qq
  fi
  source_dir=$build/lodepng-source
  rm -rf "$source_dir"
  mkdir -p "$source_dir" "$prefix/include" "$prefix/lib"
  (cd "$source_dir" && apt-get source -qq lodepng > /dev/null)
  lodepng=$(find "$source_dir" -maxdepth 2 -name lodepng.cpp | head -n 1)
  [ -n "$lodepng" ] || { echo "lodepng.cpp not found in the lodepng source package" >&2; exit 1; }
  $triple-g++-posix -O2 -c "$lodepng" -o "$source_dir/lodepng.o"
  $triple-ar rcs "$prefix/lib/liblodepng.a" "$source_dir/lodepng.o"
  cp "$(dirname "$lodepng")/lodepng.h" "$prefix/include/"
fi

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
  -DTONEMILL_SKIP="host;tools;data;tests;bench" \
  -DTONEMILL_OPENCL_INCLUDE_DIR="$prefix/include" \
  -DLODEPNG_INCLUDE_DIR="$prefix/include" \
  -DLODEPNG_LIBRARY="$prefix/lib/liblodepng.a"
cmake --build "$build" --target Tonemill -j "${TONEMILL_JOBS:-$(nproc)}"

contents=$build/Tonemill.ofx.bundle/Contents
test -f "$contents/Win64/Tonemill.ofx"
echo "Built $contents/Win64/Tonemill.ofx"
