#!/usr/bin/env bash
# Regenerates docs/catalogue.md from the shipped tweak sets: builds the
# catalogue-doc tool natively and runs it. Run after changing
# resources/tweaks/free.xml, silver.xml or gold.xml.
# BUILD_DIR chooses the build folder (default: build/native).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build/native}
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake --preset native -B "$build_dir" >/dev/null
fi
cmake --build "$build_dir" --target catalogue-doc
"$build_dir/tools/catalogue-doc/catalogue-doc" docs/catalogue.md \
  resources/tweaks/free.xml resources/tweaks/silver.xml resources/tweaks/gold.xml
echo "docs/catalogue.md updated"
