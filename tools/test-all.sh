#!/usr/bin/env bash
# Builds and runs every test: the native tests under ASan+UBSan, the fuzz
# targets, and the win32 and win64 test executables under Wine. Where this
# machine runs no 32-bit programs, the win32 build makes the programs only
# (their tests could not run) and says why at the end.
# The native tests run once, under the sanitizers; the optimised native build
# is the main job's (tools/main-job.sh) and the benchmarks'. The benchmarks are
# compiled here too (in the sanitizer build), so that they keep building.
# Each configuration builds only what its tests need: the fuzz build only the
# fuzz targets and the libraries they link, a win32 build without tests only
# the programs and their packages. The time of every step is shown at the end.
# Run tools/setup-debian.sh first on a fresh machine. Exits non-zero when any
# build or test fails.
set -uo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
failed=()
passed=0
win32_reason=""
if ! win32_reason=$(cmake/wine-launch.sh --can-run-win32); then :; else win32_reason=""; fi

times=()
started=$SECONDS
timed() {  # LABEL COMMAND...: runs the command and notes its wall time
  local label="$1" start=$SECONDS status=0
  shift
  "$@" || status=$?
  times+=("$(printf '%-22s %5d s' "$label" $((SECONDS - start)))")
  return $status
}

run_preset() {  # PRESET TARGETS [CMAKE ARGS...]; TARGETS is "all" or a list of targets
  local preset="$1" targets="$2"
  shift 2
  local build_args=()
  [ "$targets" = all ] || build_args=(--target $targets)
  echo "=== ${preset}: configure and build (${targets})"
  if ! timed "${preset} configure" cmake --preset "$preset" "$@" >/dev/null ||
     ! timed "${preset} build" cmake --build --preset "$preset" -j "$jobs" "${build_args[@]}"; then
    failed+=("${preset} (build)")
    return
  fi
  if [ "$preset" = win32 ] && [ -n "$win32_reason" ]; then
    passed=$((passed + 1))
    return
  fi
  echo "=== ${preset}: test"
  if timed "${preset} test" ctest --preset "$preset"; then
    passed=$((passed + 1))
  else
    failed+=("${preset} (tests)")
  fi
}

run_preset native-asan all -DCORVANE_BENCH=ON
run_preset fuzz fuzz_targets
if [ -n "$win32_reason" ]; then
  run_preset win32 packages -DCORVANE_TESTS=OFF -DCORVANE_BENCH=OFF
else
  run_preset win32 all -DCORVANE_TESTS=ON
fi
run_preset win64 all

echo
echo "Wall time of each step:"
printf '  %s\n' "${times[@]}"
printf '  %-22s %5d s\n' total $((SECONDS - started))

echo
echo "Test configurations: ${passed} passed, ${#failed[@]} failed"
if [ -n "$win32_reason" ]; then
  echo "The win32 programs were built, but their tests were not: $win32_reason."
fi
if [ ${#failed[@]} -ne 0 ]; then
  printf '  failed: %s\n' "${failed[@]}"
  exit 1
fi
