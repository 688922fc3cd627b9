#!/usr/bin/env bash
# Installs the Debian packages the build, the look data and the tests need
# (chromium: the help page is checked in a real browser; python3-venv: the
# render-farm checks install their PyPI tools into a virtual environment),
# and from PyPI what Debian lacks: Zig's C/C++ toolchain, with which the release
# tree builds the plug-in library for glibc 2.28 and later, and NVIDIA's NVRTC
# (CUDA 12.8), which compiles the CUDA kernel for every GPU from Maxwell on.
set -euo pipefail
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
  build-essential dpkg-dev python3-pip python3-venv cmake ninja-build pkg-config clang clang-format libclang-rt-14-dev \
  libasan8 libubsan1 libtsan2 \
  libgtest-dev libgmock-dev libbenchmark-dev \
  liblodepng-dev libopencolorio-dev libopenimageio-dev openimageio-tools \
  opencl-headers ocl-icd-opencl-dev ocl-icd-libopencl1 pocl-opencl-icd \
  chromium \
  > /dev/null

export PIP_ROOT_USER_ACTION=ignore PIP_DISABLE_PIP_VERSION_CHECK=1
pypi_install() {
  # Debian's own Python refuses packages from PyPI without the override.
  python3 -m pip install --quiet "$1" 2> /dev/null ||
    python3 -m pip install --quiet --break-system-packages "$1"
}
if ! python3 -m ziglang version > /dev/null 2>&1; then
  pypi_install ziglang==0.17.1
fi
# pip leaves a satisfied pin alone without asking PyPI.
pypi_install nvidia-cuda-nvrtc-cu12==12.8.93
