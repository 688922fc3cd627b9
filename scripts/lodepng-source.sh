#!/usr/bin/env bash
# Unpacks LodePNG from the source package of the installed Debian release into
# a folder and prints the folder that holds lodepng.cpp and lodepng.h. Builds
# that must not need Debian's shared liblodepng (the Windows plug-in, the
# portable Linux plug-in) compile it in from there. Nothing is fetched when
# the folder already holds an unpacked source.
#
#   scripts/lodepng-source.sh FOLDER
set -euo pipefail
target=$(realpath -m "${1:?usage: lodepng-source.sh FOLDER}")
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

find_source() { find "$target" -maxdepth 2 -name lodepng.cpp -printf '%h\n' 2>/dev/null | head -n 1 || true; }

found=$(find_source)
if [ -z "$found" ]; then
  if ! apt-get source --print-uris lodepng > /dev/null 2>&1; then
    sources=/etc/apt/sources.list.d/tonemill-deb-src.sources
    if [ ! -f "$sources" ]; then
      codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
      printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$codename" | $SUDO tee "$sources" > /dev/null
    fi
    $SUDO apt-get update -qq
  fi
  # Unpacked beside the target first, so an interrupted fetch never leaves a
  # folder that looks complete.
  partial=$target.partial
  rm -rf "$partial"
  mkdir -p "$partial"
  (cd "$partial" && apt-get source -qq lodepng > /dev/null)
  [ -n "$(find "$partial" -maxdepth 2 -name lodepng.cpp)" ] || {
    echo "lodepng.cpp not found in the lodepng source package" >&2
    exit 1
  }
  rm -rf "$target"
  mv "$partial" "$target"
  found=$(find_source)
fi
[ -f "$found/lodepng.h" ] || { echo "lodepng.h missing beside $found/lodepng.cpp" >&2; exit 1; }
echo "$found"
