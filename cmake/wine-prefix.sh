#!/usr/bin/env bash
# wine-prefix.sh start PREFIX: makes a fresh prefix and keeps its wineserver alive.
# wine-prefix.sh stop PREFIX: stops that wineserver.
set -euo pipefail
action="$1"
export WINEPREFIX="$2"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
case "$action" in
  start)
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    # A persistent server spares every test executable the start-up of its own.
    # Its output is detached: ctest waits for the end of the output it holds.
    wineserver -p </dev/null >/dev/null 2>&1
    # Wine's system processes (services.exe and the rest) start with the first
    # program and outlive it; started here, they hold no test's output open.
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
  *) echo "usage: $0 start|stop PREFIX" >&2; exit 2 ;;
esac
