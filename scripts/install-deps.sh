#!/usr/bin/env bash
# Installs the Debian packages the build, the look data and the tests need.
set -euo pipefail
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev \
  libasan8 libubsan1 libtsan2 \
  libgtest-dev libgmock-dev libbenchmark-dev \
  liblodepng-dev libopencolorio-dev libopenimageio-dev openimageio-tools \
  opencl-headers ocl-icd-opencl-dev ocl-icd-libopencl1 pocl-opencl-icd \
  > /dev/null
