#!/usr/bin/env bash
# The one place that decides how Wine is started on this machine.
#
#   wine-launch.sh wine ARGS...        runs a Windows program (or a Wine tool such as wineboot)
#   wine-launch.sh wineboot ARGS...    runs wineboot (the same as "wine wineboot ARGS...")
#   wine-launch.sh wineserver ARGS...  runs the Wine server
#   wine-launch.sh --can-run-win32     exits 0 when 32-bit Windows programs run here; otherwise
#                                      prints the reason on standard output and exits 1
#   wine-launch.sh --pe-machine EXE    prints "win32" or "win64" for a Windows executable
#
# Debian's wrapper /usr/bin/wine always picks the 32-bit loader when wine32 is installed, even
# on a kernel that cannot run 32-bit programs; then it fails for 64-bit programs too. So the
# wrapper is used only when the 32-bit loader actually runs, and otherwise the 64-bit loader is
# started directly, with WINELOADER naming it so that Wine starts its own children the same way.
#
# Tests replace the programs through CORVANE_WINE_WRAPPER, CORVANE_WINE_LOADER32,
# CORVANE_WINE_LOADER64 and CORVANE_WINESERVER.
set -euo pipefail

wrapper=${CORVANE_WINE_WRAPPER:-wine}
loader32=${CORVANE_WINE_LOADER32:-/usr/lib/wine/wine}
loader64=${CORVANE_WINE_LOADER64:-/usr/lib/wine/wine64}

# Prints why 32-bit programs cannot run here, or nothing when they can.
win32_unavailable_reason() {
  if [ ! -e "$loader32" ]; then
    echo "wine32 is not installed ($loader32 is missing)"
    return
  fi
  local output status=0
  output=$("$loader32" --version 2>&1) || status=$?
  if [ "$status" -ne 0 ]; then
    output=$(printf '%s' "$output" | head -n 1)
    echo "this machine's kernel runs no 32-bit programs ($loader32: ${output:-exit code $status})"
  fi
}

wineserver_path() {
  if [ -n "${CORVANE_WINESERVER:-}" ]; then echo "$CORVANE_WINESERVER"
  elif [ -x /usr/lib/wine/wineserver64 ]; then echo /usr/lib/wine/wineserver64
  elif [ -x /usr/lib/wine/wineserver ]; then echo /usr/lib/wine/wineserver
  else echo wineserver
  fi
}

# Reads the machine field of a PE header: 0x14c is i386, 0x8664 is x86-64.
pe_machine() {
  local offset machine
  offset=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
  machine=$(od -An -t x2 -j $((offset + 4)) -N 2 "$1" | tr -d ' ')
  case "$machine" in
    014c) echo win32 ;;
    8664) echo win64 ;;
    *) echo "unknown" ;;
  esac
}

command=${1:-}
[ $# -gt 0 ] && shift
if [ "$command" = wineboot ]; then
  set -- wineboot "$@"
  command=wine
fi
case "$command" in
  --can-run-win32)
    reason=$(win32_unavailable_reason)
    if [ -n "$reason" ]; then echo "$reason"; exit 1; fi
    exit 0
    ;;
  --pe-machine)
    pe_machine "$1"
    ;;
  wine)
    if [ -z "$(win32_unavailable_reason)" ]; then
      exec "$wrapper" "$@"
    fi
    if [ ! -x "$loader64" ]; then
      echo "wine-launch.sh: Wine is not installed ($loader64 is missing)" >&2
      exit 127
    fi
    export WINELOADER="$loader64"
    exec "$loader64" "$@"
    ;;
  wineserver)
    exec "$(wineserver_path)" "$@"
    ;;
  *)
    echo "usage: $0 wine|wineserver ARGS... | --can-run-win32 | --pe-machine EXE" >&2
    exit 2
    ;;
esac
