#!/usr/bin/env bash
# Builds the release tree and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
ctest --preset release -j "$(nproc)"
