#!/usr/bin/env bash
# Builds and runs every test: native, native under ASan+UBSan, the fuzz targets,
# and the win32 and win64 test executables under Wine (the win32 ones only where
# this machine runs 32-bit programs; elsewhere ctest reports them as skipped).
# Run tools/setup-debian.sh first on a fresh machine. Exits non-zero when any
# build or test fails.
set -uo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
presets=("native" "native-asan" "fuzz" "win32" "win64")
failed=()
passed=0

for preset in "${presets[@]}"; do
  echo "=== ${preset}: configure and build"
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset" -j "$jobs"; then
    failed+=("${preset} (build)")
    continue
  fi
  echo "=== ${preset}: test"
  if ctest --preset "$preset"; then
    passed=$((passed + 1))
  else
    failed+=("${preset} (tests)")
  fi
done

echo
echo "Test configurations: ${passed} passed, ${#failed[@]} failed"
if ! reason=$(cmake/wine-launch.sh --can-run-win32); then
  echo "The win32 tests were not run on this machine: $reason."
fi
if [ ${#failed[@]} -ne 0 ]; then
  printf '  failed: %s\n' "${failed[@]}"
  exit 1
fi
