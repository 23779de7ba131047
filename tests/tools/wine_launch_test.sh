#!/usr/bin/env bash
# How cmake/wine-launch.sh decides to start Wine, tried with stand-in loaders:
# a machine whose 32-bit loader runs, one whose kernel refuses it as the real
# one does (exit 126, "Exec format error"), and one without wine32. Also the
# skips that the test runner and the prefix set-up derive from it.
#   wine_launch_test.sh SOURCE_DIR
set -uo pipefail
src="$1"
launch="$src/cmake/wine-launch.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # description, expected, actual
  if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}

# Stand-ins print who ran them and with what loader.
mkdir -p "$work/bin"
cat >"$work/bin/wrapper" <<'X'
#!/bin/sh
echo "wrapper $*"
X
cat >"$work/bin/loader64" <<'X'
#!/bin/sh
echo "loader64 WINELOADER=$WINELOADER $*"
X
cat >"$work/bin/loader32-runs" <<'X'
#!/bin/sh
echo "wine-8.0"
X
cat >"$work/bin/loader32-refused" <<'X'
#!/bin/sh
echo "$0: cannot execute binary file: Exec format error" >&2
exit 126
X
chmod +x "$work/bin/"*

# A minimal PE header: "MZ", e_lfanew = 64 at offset 60, "PE\0\0" and the machine at 64.
pe() {  # file, machine bytes (octal escapes)
  { printf 'MZ'; head -c 58 /dev/zero; printf '\100\000\000\000'; printf 'PE\000\000'; printf "$2"; } >"$1"
}
pe "$work/app32.exe" '\114\001'
pe "$work/app64.exe" '\144\206'
check "PE machine of an i386 executable" win32 "$("$launch" --pe-machine "$work/app32.exe")"
check "PE machine of an x86-64 executable" win64 "$("$launch" --pe-machine "$work/app64.exe")"

export CORVANE_WINE_WRAPPER="$work/bin/wrapper" CORVANE_WINE_LOADER64="$work/bin/loader64"
unset WINELOADER

# Columns: machine, 32-bit loader, expected launch line, expected --can-run-win32 status, text in its reason.
while IFS='|' read -r machine loader32 expected can reason; do
  export CORVANE_WINE_LOADER32="$work/bin/$loader32"
  expected="${expected//WORK/$work}"
  check "$machine: wine starts through" "$expected" "$("$launch" wine app.exe --flag)"
  out="$("$launch" --can-run-win32)"; status=$?
  check "$machine: --can-run-win32 status" "$can" "$status"
  case "$out" in *"$reason"*) check "$machine: reason names the cause" yes yes ;;
                 *) check "$machine: reason names the cause ($reason)" yes "no: $out" ;; esac
done <<'TABLE'
32-bit programs run|loader32-runs|wrapper app.exe --flag|0|
kernel refuses 32-bit programs|loader32-refused|loader64 WINELOADER=WORK/bin/loader64 app.exe --flag|1|Exec format error
wine32 not installed|loader32-missing|loader64 WINELOADER=WORK/bin/loader64 app.exe --flag|1|wine32 is not installed
TABLE

# What the test runner and the prefix set-up make of it on a machine whose kernel refuses 32-bit programs.
export CORVANE_WINE_LOADER32="$work/bin/loader32-refused"
out="$("$src/cmake/wine-run.sh" "$work/prefix" "$work/app32.exe" --gtest_color=no)"; status=$?
check "a win32 test executable is skipped" 77 "$status"
case "$out" in *"Exec format error"*) check "the skip says why" yes yes ;; *) check "the skip says why" yes "no: $out" ;; esac
out="$("$src/cmake/wine-run.sh" "$work/prefix" "$work/app64.exe" --gtest_color=no)"; status=$?
check "a win64 test executable runs through the 64-bit loader" \
  "0|loader64 WINELOADER=$work/bin/loader64 $work/app64.exe --gtest_color=no" "$status|$out"
"$src/cmake/wine-prefix.sh" start "$work/prefix32" win32 >/dev/null; status=$?
check "a win32 prefix set-up is skipped" 77 "$status"
check "and makes no prefix" no "$([ -e "$work/prefix32" ] && echo yes || echo no)"

# A window test without a display is skipped with the reason the Xvfb fixture left.
mkdir -p "$work/xvfb"
echo "Xvfb is not installed (Debian package xvfb)" >"$work/xvfb/reason"
out="$("$src/cmake/wine-run.sh" --display "$work/xvfb" "$work/prefix" "$work/app64.exe")"; status=$?
check "a window test without a display is skipped" 77 "$status"
case "$out" in *"Xvfb is not installed"*) check "and says why" yes yes ;; *) check "and says why" yes "no: $out" ;; esac
echo ":97" >"$work/xvfb/display"
out="$(DISPLAY= "$src/cmake/wine-run.sh" --display "$work/xvfb" "$work/prefix" "$work/app64.exe")"; status=$?
check "a window test runs when the fixture left a display" 0 "$status"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
