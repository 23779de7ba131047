#!/usr/bin/env bash
# The main job: builds everything (the native engine and tools, and both
# Windows programs' code for i686 and x86_64), runs the Windows test
# executables under Wine, and then runs the real corvane-cli.exe of each
# Windows build under Wine: "corvane-cli analyse" on the built-in catalogue;
# then Corvane.exe itself on a private X display: it analyses at launch, its
# tuning view is saved to build/screenshots/corvane-<build>-tuning.png, and
# the tray's "Exit" ends it.
# The win32 programs run only where this machine runs 32-bit programs.
# Run tools/setup-debian.sh first on a fresh machine.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
pictures=()

# Runs Corvane.exe of a build in its prefix on a display of its own, through
# the driver that waits for the analysis, takes the picture and sends "Exit".
run_program() {
  local preset="$1" prefix="$2" display="" n status=0
  local shot="$PWD/build/screenshots/corvane-$preset-tuning.png"
  mkdir -p build/screenshots
  rm -f "$shot"
  for n in $(seq 150 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"build/$preset/main-job-xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.05
    done
    [ -e "/tmp/.X11-unix/X$n" ] && display=":$n"
    break
  done
  if [ -z "$display" ]; then
    echo "no free X display for Corvane.exe" >&2
    return 1
  fi
  echo "=== $preset: Corvane.exe (analysis at launch, under Wine on $display)"
  # The server of the command line's run has no display: a fresh one starts
  # Wine's desktop on this one.
  WINEPREFIX="$prefix" cmake/wine-launch.sh wineserver -k 2>/dev/null || true
  WINEPREFIX="$prefix" DISPLAY="$display" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    cmake/wine-launch.sh wine "build/$preset/tests/main_job_driver.exe" \
    "$(winpath "build/$preset/app/corvane/Corvane.exe")" "$(winpath "$shot")" || status=$?
  WINEPREFIX="$prefix" cmake/wine-launch.sh wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  if [ "$status" -ne 0 ] || [ ! -s "$shot" ]; then
    echo "Corvane.exe ($preset) ended with exit code $status" >&2
    return 1
  fi
  pictures+=("$shot")
}

# A path of this machine as Wine's programs see it.
winpath() {
  local path
  path="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
  path="Z:$path"
  echo "${path//\//\\}"
}
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
  if [ "$status" -ne 0 ]; then
    cmake/wine-prefix.sh stop "$prefix"
    echo "corvane-cli analyse ($preset) ended with exit code $status" >&2
    exit "$status"
  fi
  run_program "$preset" "$prefix" || exit 1
  cmake/wine-prefix.sh stop "$prefix"
done
for picture in "${pictures[@]}"; do
  echo "Corvane's tuning view after its analysis at launch: $picture"
done
