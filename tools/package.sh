#!/usr/bin/env bash
# Builds the release packages of both architectures into build/dist/:
#   corvane-<version>-x86.msi, corvane-<version>-x64.msi  (Windows Installer)
#   corvane-<version>-x86.zip, corvane-<version>-x64.zip  (portable archives)
#   SHA256SUMS                                            (their SHA-256 sums)
# The version is the build setting CORVANE_VERSION (2.3.0 unless the presets
# are configured with another, e.g. cmake --preset win64 -DCORVANE_VERSION=2.4.0).
# Run tools/setup-debian.sh first on a fresh machine (it installs wixl).
set -euo pipefail
cd "$(dirname "$0")/.."
dist=build/dist
command -v wixl >/dev/null || { echo "$0: wixl is missing (apt-get install wixl, or tools/setup-debian.sh)" >&2; exit 1; }

jobs=$(nproc 2>/dev/null || echo 2)
packages=()
for preset in win32 win64; do
  echo "=== ${preset}: configure and build the packages"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target packages -j "$jobs"
  # Only this version's packages: an earlier configuration may have left others.
  version="$(sed -n 's/^CORVANE_VERSION:STRING=//p' "build/$preset/CMakeCache.txt")"
  for file in "build/$preset/package/corvane-$version"-*.msi "build/$preset/package/corvane-$version"-*.zip; do
    [ -f "$file" ] && packages+=("$file")
  done
done
if [ ${#packages[@]} -ne 4 ]; then
  echo "$0: expected four packages, found: ${packages[*]:-none}" >&2
  exit 1
fi

rm -rf "$dist"
mkdir -p "$dist"
cp "${packages[@]}" "$dist/"
(cd "$dist" && sha256sum corvane-* >SHA256SUMS)
echo
echo "Packages in $dist:"
cat "$dist/SHA256SUMS"
