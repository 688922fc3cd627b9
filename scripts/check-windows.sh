#!/usr/bin/env bash
# Runs the Windows build of the plug-in for real, under Wine, and holds it to
# the Linux bundle. A Windows host of ours (tests/portability) loads
# Contents/Win64/Tonemill.ofx, describes it, renders every portability case,
# exports LUTs through the unattended save, frees the library, loads and renders
# again and exits; it must exit with status 0. Its pixels must equal the Linux
# bundle's render of the same cases within 1e-6, and each LUT it exported must
# be byte for byte what `tonemill bake` writes on Linux for the same settings.
#
# Wine runs headless in a prefix made fresh in a temporary folder; its home,
# caches and server sockets are kept there too, and the folder is removed at
# the end, so nothing is written outside it.
#
#   scripts/check-windows.sh [linux-release-tree]
#
# Without an argument it builds build/release; a tree given is used as built.
# build/windows is always brought up to date.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tolerance=1e-6
wine=/usr/lib/wine/wine64
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

if ! dpkg-query -W -f='${Status}' wine64 2> /dev/null | grep -q 'ok installed'; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends wine64 > /dev/null
fi

# Both sides from this tree: the Windows DLL and host, the Linux bundle, its
# host and the command line.
bash scripts/build-windows.sh build/windows
if [ $# -eq 0 ]; then bash scripts/build.sh; fi
linux_tree=$(realpath "${1:-build/release}")
linux_bundle=$linux_tree/Tonemill.ofx.bundle
linux_cases=$linux_tree/tests/portability/tonemill-render-cases
tonemill=$linux_tree/tools/tonemill/tonemill

work=$(mktemp -d "${TMPDIR:-/tmp}/tonemill-windows.XXXXXX")
# Wine's home, caches and server sockets (under TMPDIR) all inside the folder.
wine_env=(env -u DISPLAY -u WAYLAND_DISPLAY
  WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
  XDG_DATA_HOME="$work/home/.local/share" TMPDIR="$work/tmp")
run_wine() { "${wine_env[@]}" timeout 600 "$wine" "$@"; }
cleanup() {
  "${wine_env[@]}" /usr/lib/wine/wineserver -k -w 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The Windows library beside the resources of the Linux bundle, which are the
# same files on every platform.
bundle=$work/Tonemill.ofx.bundle
mkdir -p "$bundle/Contents/Win64" "$work/home" "$work/tmp"
cp -r "$linux_bundle/Contents/Resources" "$bundle/Contents/"
cp build/windows/Tonemill.ofx.bundle/Contents/Win64/Tonemill.ofx "$bundle/Contents/Win64/"
cp build/windows/tests/portability/tonemill-render-cases.exe "$work/"

run_wine wineboot --init > "$work/wineboot.log" 2>&1 || {
  cat "$work/wineboot.log"
  echo "check-windows: Wine could not make its prefix" >&2
  exit 1
}
status=0
run_wine "$work/tonemill-render-cases.exe" render "Z:$bundle" "Z:$work/windows" || status=$?
if [ "$status" != 0 ]; then
  echo "check-windows: the Windows host exited with status $status" >&2
  exit 1
fi
echo "Windows host: exit status 0 after freeing the library and exiting"

"$linux_cases" render "$linux_bundle" "$work/linux" > /dev/null
"$linux_cases" compare "$work/windows" "$work/linux" "$tolerance"

mkdir -p "$work/baked"
while read -r name size; do
  "$tonemill" bake "$work/baked/$name.cube" --size "$size" --look "$work/linux/$name.look" --bundle "$linux_bundle"
  if ! cmp "$work/windows/$name.cube" "$work/baked/$name.cube"; then
    echo "check-windows: the LUT exported on Windows for $name differs from tonemill bake" >&2
    exit 1
  fi
  echo "$name: the LUT exported on Windows is byte for byte tonemill bake's (${size}^3 points)"
done < "$work/linux/exports.txt"
echo "check-windows: passed"
