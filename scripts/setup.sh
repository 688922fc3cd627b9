#!/usr/bin/env bash
# Fresh Debian machine to a rendered frame: packages, build, one frame through the bundle.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -x build/release/tools/tonemill/tonemill ]; then
  bash scripts/render-sample.sh
fi
