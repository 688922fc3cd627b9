#!/usr/bin/env bash
# Makes the virtual environment the comparison with OpenColorIO's newest
# release runs in: its PyPI wheel (which chooses SSE2 to AVX-512 at run time)
# and NumPy. Usage: bench/ocio26/setup-venv.sh [VENV_DIR]
# (default build/ocio26-venv under the repository root).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
venv=${1:-$root/build/ocio26-venv}
python3 -m venv "$venv"
"$venv/bin/python" -m pip install --quiet --disable-pip-version-check opencolorio==2.6.0 numpy
"$venv/bin/python" -c 'import PyOpenColorIO as o; print("OpenColorIO", o.__version__, "in", "'"$venv"'")'
