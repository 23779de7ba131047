#!/usr/bin/env bash
# An X display for window tests.
#   xvfb.sh start STATE_DIR: starts Xvfb on a free display; writes it to STATE_DIR/display.
#   xvfb.sh stop STATE_DIR:  stops that Xvfb.
# Where Xvfb is missing, start writes the reason to STATE_DIR/reason and exits 77 (ctest:
# skipped); the window tests then skip themselves with that reason.
set -euo pipefail
action="$1"
state="$2"
mkdir -p "$state"
case "$action" in
  start)
    rm -f "$state/display" "$state/reason"
    if ! command -v Xvfb >/dev/null 2>&1; then
      echo "Xvfb is not installed (Debian package xvfb)" | tee "$state/reason"
      exit 77
    fi
    for n in $(seq 90 199); do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$state/xvfb.log" 2>&1 &
      echo $! >"$state/pid"
      for _ in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        kill -0 "$(cat "$state/pid")" 2>/dev/null || break
        sleep 0.05
      done
      if [ -e "/tmp/.X11-unix/X$n" ]; then
        echo ":$n" >"$state/display"
        echo "Xvfb started on :$n"
        exit 0
      fi
      # Another Xvfb took the display between the look and the start: try the next one.
      kill "$(cat "$state/pid")" 2>/dev/null || true
    done
    echo "no free X display could be started (see $state/xvfb.log)" | tee "$state/reason"
    exit 1
    ;;
  stop)
    if [ -f "$state/pid" ]; then
      kill "$(cat "$state/pid")" 2>/dev/null || true
      rm -f "$state/pid" "$state/display"
    fi
    ;;
  *) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
