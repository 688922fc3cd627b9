#!/usr/bin/env bash
# Fails unless the bundle's Linux library loads on glibc 2.28 and later with
# the host's own C++ runtime: it may need only the C runtime's libraries, no
# glibc symbol version above 2.28, and no GLIBCXX or CXXABI version at all.
# Prints what the library needs either way.
#
#   scripts/check-bundle-dependencies.sh [LIBRARY]
#   (default: the release tree's build/release/Tonemill.ofx.bundle/Contents/Linux-x86-64/Tonemill.ofx)
set -euo pipefail
cd "$(dirname "$0")/.."
library=${1:-build/release/Tonemill.ofx.bundle/Contents/Linux-x86-64/Tonemill.ofx}
allowed=(libc.so.6 libm.so.6 libdl.so.2 libpthread.so.0 librt.so.1 ld-linux-x86-64.so.2 libgcc_s.so.1)
newest_glibc=2.28

[ -f "$library" ] || { echo "no library at $library" >&2; exit 1; }
needed=$(readelf -d "$library" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
symbols=$(objdump -T "$library")
versions=$(grep -oE '\b(GLIBC|GLIBCXX|CXXABI)_[A-Z0-9.]+' <<< "$symbols" | sort -u -V || true)
# A strong reference with no version binds to whatever the host process has
# loaded, its C++ runtime included.
unbound=$(awk '/\*UND\*/ && !/\(/ && $2 != "w" { print $NF }' <<< "$symbols")

problems=()
for library_name in $needed; do
  case " ${allowed[*]} " in
    *" $library_name "*) ;;
    *) problems+=("needs $library_name, which is not part of the C runtime") ;;
  esac
done
for symbol in $unbound; do
  problems+=("leaves $symbol to whatever the host has loaded")
done
glibc_versions=()
for version in $versions; do
  case "$version" in
    GLIBC_[0-9]*)
      number=${version#GLIBC_}
      glibc_versions+=("$number")
      if [ "$(printf '%s\n%s\n' "$newest_glibc" "$number" | sort -V | tail -n 1)" != "$newest_glibc" ]; then
        problems+=("uses $version, newer than glibc $newest_glibc")
      fi
      ;;
    GLIBC_*) problems+=("uses $version, internal to one glibc build") ;;
    *) problems+=("needs $version of a C++ runtime") ;;
  esac
done

newest=$(printf '%s\n' "${glibc_versions[@]:-none}" | sort -V | tail -n 1)
echo "$library"
echo "  needs: $(echo $needed)"
echo "  newest glibc version: $newest (at most $newest_glibc allowed)"
if [ ${#problems[@]} -gt 0 ]; then
  printf '  not portable: %s\n' "${problems[@]}" >&2
  exit 1
fi
echo "  portable: only the C runtime of glibc $newest_glibc or later"
