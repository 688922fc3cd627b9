#!/usr/bin/env bash
# The CLF and OCIO config that `tonemill bake` writes, read and applied by
# OpenColorIO 2.6 (the newest release, from PyPI, in a virtual environment of
# its own) and compared with `tonemill render`. The test suite does the same
# with Debian's OpenColorIO 2.1.
# usage: scripts/check-clf-ocio26.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
venv="$build/ocio26-venv"
if [ ! -x "$venv/bin/python" ]; then
  python3 -m venv "$venv"
fi
"$venv/bin/python" -m pip install --quiet opencolorio==2.6.0 numpy tifffile
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
OFX_PLUGIN_PATH="$build" timeout 900 "$venv/bin/python" scripts/check_clf_ocio.py \
  --tonemill "$build/tools/tonemill/tonemill" --looks looks --work "$work"
