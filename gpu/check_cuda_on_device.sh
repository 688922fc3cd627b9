#!/usr/bin/env bash
# On a machine with an NVIDIA GPU: builds the plug-ins with CUDA, renders the
# same frames through CUDA and on the CPU, and compares them: the look within
# 1e-5 per channel (every stage, each test view, widths 1, 257 and 1000, a
# frame larger than the test pictures), the film texture within 1e-4 (windows,
# each part alone, a source smaller than asked). Both built plug-ins are driven
# through the host library with CUDA images against their own CPU renders.
# Also checks the describe report of the device, the launcher's refusals and
# the kernel images the build embeds. Fails when the build has no CUDA kernel
# or the machine shows no CUDA device, so that a pass always means the GPU
# really rendered. The kernels are compiled with NVRTC from PyPI
# (scripts/install-deps.sh installs it); no CUDA toolkit is needed.
#
#   gpu/check_cuda_on_device.sh [build folder]    (default: build/cuda-check)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/cuda-check}

if command -v nvidia-smi >/dev/null; then
  nvidia-smi --query-gpu=name,compute_cap,driver_version --format=csv,noheader || true
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTONEMILL_CUDA=ON \
  -DTONEMILL_BUILD_TESTS=ON
if ! grep -q '^TONEMILL_NVRTC_LIBRARY:[A-Z]*=.' "$build/CMakeCache.txt"; then
  echo "check_cuda_on_device: no NVRTC was found (scripts/install-deps.sh); nothing to check" >&2
  exit 2
fi
cmake --build "$build" -j"$(nproc)" --target tonemill_gpu_unit_tests tonemill_gpu_integration_tests \
  tonemill_plugin_texture_integration_tests

report=$(mktemp)
trap 'rm -f "$report"' EXIT
# check PROGRAM FILTER TESTS: runs the filtered cases, which must all run and pass.
check() {
  "$build/$1" --gtest_filter="$2" --gtest_color=no | tee "$report" || true
  if grep -q '\[  SKIPPED \]' "$report"; then
    echo "check_cuda_on_device: $2 was skipped: no usable CUDA device" >&2
    exit 3
  fi
  if ! grep -q "\[  PASSED  \] $3 tests\?\.$" "$report"; then
    echo "check_cuda_on_device: $2 did not all run and pass" >&2
    exit 1
  fi
}
# CudaBackend.AMachineWithoutTheDriverIsReportedPlainly skips where a driver is, as here.
check tests/unit/gpu/tonemill_gpu_unit_tests 'CudaBackend.AnswersForWhatThisBuildCarries:CudaKernelImages.*' 3
check tests/integration/gpu/tonemill_gpu_integration_tests 'CudaRendering.*' 3
check tests/integration/plugin/texture/tonemill_plugin_texture_integration_tests 'Devices/TextureGpu.*/CUDA' 2
echo "check_cuda_on_device: CUDA renders match the CPU renders"
