#!/usr/bin/env bash
# Runs a Windows executable under Wine in the given prefix: wine-run.sh PREFIX EXE [ARGS...]
set -euo pipefail
export WINEPREFIX="$1"; shift
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
exec wine "$@"
