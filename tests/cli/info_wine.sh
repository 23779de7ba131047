#!/usr/bin/env bash
# corvane-cli.exe info --json under Wine with the display of the Xvfb
# fixture: the summary names Wine's display adapter, and its memory figure is
# the machine's (within 1 MB of the total in /proc/meminfo).
#
#   info_wine.sh CORVANE_CLI_EXE WINEPREFIX XVFB_STATE SOURCE_DIR
set -uo pipefail
exe="$1"
prefix="$2"
state="$3"
src="$4"
out="$("$src/cmake/wine-run.sh" --display "$state" "$prefix" "$exe" info --json)"
rc=$?
if [ "$rc" -eq 77 ]; then
  echo "$out"
  exit 77
fi
echo "$out"
if [ "$rc" -ne 0 ]; then
  echo "FAIL: info --json exited with $rc"
  exit 1
fi
failures=0
adapter="$(printf '%s\n' "$out" | sed -n 's/^  "displayAdapter": "\(.*\)",$/\1/p')"
if [ -z "$adapter" ]; then
  echo "FAIL: no display adapter named"
  failures=$((failures + 1))
fi
bytes="$(printf '%s\n' "$out" | sed -n 's/^    "bytes": \([0-9]*\),$/\1/p')"
total_kb="$(awk '/^MemTotal:/ { print $2 }' /proc/meminfo)"
if [ -z "$bytes" ]; then
  echo "FAIL: no memory figure"
  failures=$((failures + 1))
else
  difference=$((bytes - total_kb * 1024))
  if [ "${difference#-}" -gt 1048576 ]; then
    echo "FAIL: memory $bytes bytes, /proc/meminfo says $((total_kb * 1024))"
    failures=$((failures + 1))
  fi
fi
printf '%s\n' "$out" | grep -q '^    "code": [1-9]' || { echo "FAIL: no system code"; failures=$((failures + 1)); }
echo "info --json: adapter \"$adapter\", memory $bytes bytes, MemTotal $((total_kb * 1024)) bytes"
[ "$failures" -eq 0 ]
