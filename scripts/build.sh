#!/usr/bin/env bash
# Configures and builds the release tree: the bundle, the tools and the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release > /dev/null
cmake --build --preset release
