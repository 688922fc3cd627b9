#!/usr/bin/env bash
# Draws the pictures the README shows into a folder (docs/ by default): the
# natural scene through every shipped look. They are committed, so the README
# reads well wherever the repository is browsed; a test draws them again after
# every build and finds them current. Run this after changing a look or the
# look data, then commit what it draws.
#
#   scripts/draw-readme-pictures.sh [build folder] [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")
out=${2:-docs}
mkdir -p "$out"
OFX_PLUGIN_PATH="$build" "$build/tools/tonemill/tonemill" \
  sheet "$build/Tonemill.ofx.bundle/Contents/Resources/scene.png" "$out/looks-sheet.png" --vary look 2> /dev/null
echo "Drew the shipped looks' contact sheet to $out/looks-sheet.png"
