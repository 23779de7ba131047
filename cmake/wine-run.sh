#!/usr/bin/env bash
# Runs a Windows executable under Wine in the given prefix:
#   wine-run.sh [--display STATE_DIR] PREFIX EXE [ARGS...]
# Without --display the program runs with no X display, as the engine's tests should. With it,
# the program gets the display of the Xvfb that cmake/xvfb.sh started for STATE_DIR; when there
# is none, it says why and exits 77 (ctest: skipped). A 32-bit program on a machine that runs no
# 32-bit programs is skipped the same way.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
launch="$here/wine-launch.sh"
display_state=""
if [ "${1:-}" = "--display" ]; then
  display_state="$2"
  shift 2
fi
export WINEPREFIX="$1"; shift
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ -f "$1" ] && [ "$("$launch" --pe-machine "$1")" = win32 ] && ! reason=$("$launch" --can-run-win32); then
  echo "skipped $(basename "$1"): $reason"
  exit 77
fi

if [ -n "$display_state" ]; then
  if [ ! -s "$display_state/display" ]; then
    echo "skipped $(basename "$1"): no X display for window tests ($(cat "$display_state/reason" 2>/dev/null || echo "Xvfb was not started"))"
    exit 77
  fi
  export DISPLAY="$(cat "$display_state/display")"
  # Wine's desktop belongs to the first program that needed one; after headless
  # tests it has no display and no window can be made. A fresh server starts a
  # desktop on this display.
  "$launch" wineserver -k 2>/dev/null || true
  "$launch" wineserver -w 2>/dev/null || true
else
  unset DISPLAY
fi
exec "$launch" wine "$@"
