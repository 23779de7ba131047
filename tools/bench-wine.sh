#!/usr/bin/env bash
# Builds the benchmarks of the Windows builds (the journal, the analysis of
# tweaks, Corvane.exe's launch beside corvane-cli analyse) and runs them
# under Wine. The launch runs on a private Xvfb display.
#
#   tools/bench-wine.sh [BUILD_DIR...] [-- ROUNDS]
#
# Without build folders it uses the presets' build/win32 and build/win64. A
# folder that is not configured yet is configured with the preset its name
# contains (win32 or win64). The benchmarks run in the folder's own Wine prefix
# (BUILD_DIR/wineprefix, the one ctest uses), made first when missing. ROUNDS
# goes to each benchmark.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

dirs=()
rounds=()
while [ $# -gt 0 ]; do
  case "$1" in
    --) shift; rounds=("$@"); break ;;
    *) dirs+=("$1"); shift ;;
  esac
done
[ ${#dirs[@]} -gt 0 ] || dirs=("$root/build/win32" "$root/build/win64")

for dir in "${dirs[@]}"; do
  dir="$(realpath -m "$dir")"  # Wine takes only an absolute prefix
  case "$(basename "$dir")" in
    *win32*) preset=win32 ;;
    *win64*) preset=win64 ;;
    *) preset="" ;;
  esac
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    if [ -z "$preset" ]; then
      echo "$dir is not configured and its name names no preset (win32, win64)" >&2
      exit 2
    fi
    (cd "$root" && cmake --preset "$preset" -B "$dir" >/dev/null)
  fi
  cmake --build "$dir" -j2 --target corvane_wine_bench corvane_wine_analyse_bench corvane_wine_catalogue_bench \
    corvane_wine_launch_bench

  if [ "$preset" = win32 ] && ! reason=$("$root/cmake/wine-launch.sh" --can-run-win32); then
    echo "=== win32 ($dir) not run: $reason"
    continue
  fi
  prefix="$dir/wineprefix"
  if [ ! -d "$prefix" ]; then
    "$root/cmake/wine-prefix.sh" start "$prefix" "${preset:-win64}"
  fi
  echo "=== ${preset:-$dir} ($dir), load average: $(cut -d' ' -f1-3 /proc/loadavg)"
  for bench in corvane_wine_bench corvane_wine_analyse_bench corvane_wine_catalogue_bench; do
    exe="$(find "$dir" -name "$bench.exe" -print -quit)"
    "$root/cmake/wine-run.sh" "$prefix" "$exe" "${rounds[@]}"
  done
  # Start to a window ready for input needs a display (wineserver restarted
  # on it; its first round is the cold one, the median is not).
  if "$root/cmake/xvfb.sh" start "$dir/xvfb-bench" >/dev/null; then
    exe="$(find "$dir" -name corvane_wine_launch_bench.exe -print -quit)"
    windows_path() { echo "Z:$(realpath "$1" | tr / '\\')"; }
    "$root/cmake/wine-run.sh" --display "$dir/xvfb-bench" "$prefix" "$exe" \
      "$(windows_path "$dir/app/corvane/Corvane.exe")" "$(windows_path "$dir/app/cli/corvane-cli.exe")" "${rounds[@]}"
    "$root/cmake/xvfb.sh" stop "$dir/xvfb-bench" >/dev/null
  else
    echo "Corvane.exe launch not measured: $(cat "$dir/xvfb-bench/reason" 2>/dev/null)"
  fi
  # Nothing of this prefix keeps running once the figures are out.
  "$root/cmake/wine-prefix.sh" stop "$prefix"
done
