#!/usr/bin/env bash
# Fails when a C, C++ or CUDA source of the repository strays from .clang-format,
# naming each place; `clang-format -i FILE` puts a file right.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.c' '*.cpp' '*.h' '*.cu' | xargs -0 clang-format --dry-run --Werror
echo "format: every source follows .clang-format"
