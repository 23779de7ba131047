#!/usr/bin/env bash
# Builds and runs every test: the native tests under ASan+UBSan, the fuzz
# targets, and the win32 and win64 test executables under Wine. Where this
# machine runs no 32-bit programs, the win32 build makes the programs only
# (their tests could not run) and says why at the end.
# The native tests run once, under the sanitizers; the optimised native build
# is the main job's (tools/main-job.sh) and the benchmarks'. The benchmarks are
# compiled here too, so that they keep building.
# Run tools/setup-debian.sh first on a fresh machine. Exits non-zero when any
# build or test fails.
set -uo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
failed=()
passed=0
win32_reason=""
if ! win32_reason=$(cmake/wine-launch.sh --can-run-win32); then :; else win32_reason=""; fi

run_preset() {  # PRESET [CMAKE ARGS...]
  local preset="$1"
  shift
  echo "=== ${preset}: configure and build"
  if ! cmake --preset "$preset" "$@" >/dev/null || ! cmake --build --preset "$preset" -j "$jobs"; then
    failed+=("${preset} (build)")
    return
  fi
  if [ "$preset" = win32 ] && [ -n "$win32_reason" ]; then
    passed=$((passed + 1))
    return
  fi
  echo "=== ${preset}: test"
  if ctest --preset "$preset"; then
    passed=$((passed + 1))
  else
    failed+=("${preset} (tests)")
  fi
}

run_preset native-asan -DCORVANE_BENCH=ON
run_preset fuzz
if [ -n "$win32_reason" ]; then
  run_preset win32 -DCORVANE_TESTS=OFF -DCORVANE_BENCH=OFF
else
  run_preset win32 -DCORVANE_TESTS=ON
fi
run_preset win64

echo
echo "Test configurations: ${passed} passed, ${#failed[@]} failed"
if [ -n "$win32_reason" ]; then
  echo "The win32 programs were built, but their tests were not: $win32_reason."
fi
if [ ${#failed[@]} -ne 0 ]; then
  printf '  failed: %s\n' "${failed[@]}"
  exit 1
fi
