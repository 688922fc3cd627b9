#!/usr/bin/env bash
# On a machine with an NVIDIA GPU: builds the GPU back-ends with CUDA, renders
# the same frames through the CUDA launcher and through the CPU chain, and
# compares them within 1e-5 per channel (every stage, each test view, widths
# 1, 257 and 1000, a frame larger than the test image). Fails when the build
# has no CUDA kernel or the machine shows no CUDA device, so that a pass
# always means the GPU really rendered.
#
#   gpu/check_cuda_on_device.sh [build folder]    (default: build/cuda-check)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/cuda-check}
tests=$build/tests/unit/gpu/tonemill_gpu_tests

if command -v nvidia-smi >/dev/null; then
  nvidia-smi --query-gpu=name,compute_cap,driver_version --format=csv,noheader || true
fi

# nvcc is often installed outside PATH.
if ! command -v nvcc >/dev/null && [ -z "${CUDACXX:-}" ] && [ -x /usr/local/cuda/bin/nvcc ]; then
  export CUDACXX=/usr/local/cuda/bin/nvcc
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTONEMILL_CUDA=ON \
  -DTONEMILL_BUILD_TESTS=ON
if ! grep -q '^CMAKE_CUDA_COMPILER:[A-Z]*=.*nvcc' "$build/CMakeCache.txt"; then
  echo "check_cuda_on_device: no CUDA compiler was found; nothing to check" >&2
  exit 2
fi
cmake --build "$build" -j"$(nproc)" --target tonemill_gpu_tests

report=$(mktemp)
trap 'rm -f "$report"' EXIT
"$tests" --gtest_filter='CudaLauncher.*:CudaBackend.*' --gtest_color=no | tee "$report"
if grep -q '\[  SKIPPED \]' "$report"; then
  echo "check_cuda_on_device: the CUDA comparisons were skipped: no usable CUDA device" >&2
  exit 3
fi
if ! grep -q '\[  PASSED  \] 3 tests' "$report"; then
  echo "check_cuda_on_device: the CUDA comparisons did not all run and pass" >&2
  exit 1
fi
echo "check_cuda_on_device: CUDA renders match the CPU chain"
