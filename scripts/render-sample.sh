#!/usr/bin/env bash
# Renders the built-in tone chart through the sample look with the freshly built
# bundle, found the way a host finds it: through OFX_PLUGIN_PATH.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/release/sample-frame.png
OFX_PLUGIN_PATH="$PWD/build/release" build/release/tools/tonemill/tonemill \
  render "$out" --look tools/tonemill/looks/sample.look
echo "Rendered the tone chart through tools/tonemill/looks/sample.look to $out"

