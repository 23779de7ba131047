#!/usr/bin/env bash
# wine-prefix.sh start PREFIX [win32|win64]: makes a fresh prefix and keeps its wineserver alive.
# wine-prefix.sh stop PREFIX: stops that wineserver.
# For a win32 build on a machine that runs no 32-bit programs, start says why and exits 77,
# which ctest reports as skipped.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
launch="$here/wine-launch.sh"
action="$1"
export WINEPREFIX="$2"
arch="${3:-win64}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
case "$action" in
  start)
    if [ "$arch" = win32 ] && ! reason=$("$launch" --can-run-win32); then
      echo "win32 tests skipped: $reason"
      exit 77
    fi
    "$launch" wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$launch" wine wineboot -i >/dev/null 2>&1
    "$launch" wineserver -w
    # Xvfb has no window manager: a managed window that hides waits 2 s for
    # one to withdraw it. Unmanaged, it hides at once (tests hide windows often).
    "$launch" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    # A test program that crashes ends with its backtrace; the crash dialog
    # would wait for a click until ctest's time-out.
    "$launch" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    "$launch" wineserver -w
    # A persistent server spares every test executable the start-up of its own.
    # Its output is detached: ctest waits for the end of the output it holds.
    "$launch" wineserver -p </dev/null >/dev/null 2>&1
    # Wine's system processes (services.exe and the rest) start with the first
    # program and outlive it; started here, they hold no test's output open.
    "$launch" wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
    ;;
  stop)
    [ -d "$WINEPREFIX" ] || exit 0
    "$launch" wineserver -k 2>/dev/null || true
    ;;
  *) echo "usage: $0 start|stop PREFIX [win32|win64]" >&2; exit 2 ;;
esac
