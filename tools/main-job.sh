#!/usr/bin/env bash
# The main job: builds everything (the native engine and tools, and both
# Windows programs' code for i686 and x86_64), runs the Windows test
# executables under Wine, and then runs the real corvane-cli.exe of each
# Windows build under Wine: "corvane-cli analyse" on the built-in catalogue.
# The win32 program runs only where this machine runs 32-bit programs.
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
  if [ "$preset" = win32 ] && ! reason=$(cmake/wine-launch.sh --can-run-win32); then
    echo "=== win32: corvane-cli analyse not run: $reason"
    continue
  fi
  # The test run leaves its Wine prefix in the build folder; the program runs there.
  prefix="$PWD/build/$preset/wineprefix"
  [ -d "$prefix/drive_c" ] || cmake/wine-prefix.sh start "$prefix" "$preset"
  echo "=== $preset: corvane-cli analyse (built-in catalogue, under Wine)"
  status=0
  cmake/wine-run.sh "$prefix" "build/$preset/app/cli/corvane-cli.exe" analyse || status=$?
  cmake/wine-prefix.sh stop "$prefix"
  if [ "$status" -ne 0 ]; then
    echo "corvane-cli analyse ($preset) ended with exit code $status" >&2
    exit "$status"
  fi
done
