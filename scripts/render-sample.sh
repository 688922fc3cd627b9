#!/usr/bin/env bash
# Renders the built-in tone chart through the sample look with the freshly built
# bundle, found the way a host finds it: through OFX_PLUGIN_PATH.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/release/sample-frame.png
OFX_PLUGIN_PATH="$PWD/build/release" build/release/tools/tonemill/tonemill \
  render "$out" --look tools/tonemill/looks/sample.look
echo "Rendered the tone chart through tools/tonemill/looks/sample.look to $out"

# The contact sheet the README shows: the natural scene through every shipped
# look. Generated rather than committed, as every picture of the project is.
mkdir -p docs
OFX_PLUGIN_PATH="$PWD/build/release" build/release/tools/tonemill/tonemill \
  sheet build/release/Tonemill.ofx.bundle/Contents/Resources/scene.png docs/looks-sheet.png --vary look
echo "Drew the shipped looks' contact sheet to docs/looks-sheet.png"
