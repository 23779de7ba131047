#!/usr/bin/env bash
# The main job: builds both Windows programs' code for i686 and x86_64 (and the
# native engine and tools), then runs the Windows test executables under Wine.
# Run tools/setup-debian.sh first on a fresh machine.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset"
done
