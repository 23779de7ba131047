#!/usr/bin/env bash
# Screenshots of the skinned controls, for people to look at (not part of CI).
#   tools/screenshots.sh
# Builds the gallery (win64), runs it under Wine on a private Xvfb display at
# 100% and at 200% (a prefix whose LogPixels is 192), and saves under
# build/screenshots/: gallery-100.png, gallery-200.png, the draw operations of
# every control beside them (.txt), and the artwork's contact sheet; then the
# main window's views (main-<view>-<percent>.png), and the panels' gallery:
# panels-<percent>-settings.png, -support.png and -startup.png (the startup
# view over the system-information strip).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build/screenshots"
launch="$root/cmake/wine-launch.sh"
mkdir -p "$out"

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target aqua_gallery mainframe_shots panels_gallery
gallery="$root/build/win64/gui/aqua_gallery.exe"
shots="$root/build/win64/gui/mainframe_shots.exe"
panels="$root/build/win64/gui/panels_gallery.exe"
cp "$root/build/win64/skin/contact-sheet.png" "$out/contact-sheet.png"

# A private display, larger than the tests' one: at 200% the window, the menu
# and the help pop-up together are wider than 1280 pixels, and the window with
# eight categories and the system-information strip is taller than 1400.
display=""
for n in $(seq 150 199); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 2200x1600x24 -nolisten tcp </dev/null >"$out/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.05
  done
  display=":$n"
  break
done
[ -n "$display" ] || { echo "no free X display" >&2; exit 1; }
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
export DISPLAY="$display"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

for percent in 100 200; do
  export WINEPREFIX="$out/prefix-$percent"
  if [ ! -d "$WINEPREFIX" ]; then
    "$launch" wine wineboot -i >/dev/null 2>&1
    "$launch" wineserver -w
  fi
  # Without a window manager only Wine itself draws the system's captions
  # (the "Profiles" dialog's).
  "$launch" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  dpi=$((96 * percent / 100))
  "$launch" wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  "$launch" wineserver -w
  rm -f "$out/gallery-$percent.png"
  "$launch" wine "$gallery" "$(winepath=Z:"$out/gallery-$percent.png"; echo "${winepath//\//\\}")" || {
    echo "the gallery failed at $percent%" >&2
    exit 1
  }
  # The main window over the free catalogue: tuning before and after an
  # analysis, the settings and support panels over it, a tweaks view, a
  # tweak's details, the startup programs view (gathering, then with an
  # example Run value selected) and the tune-up preview (the system summary
  # below all).
  rm -f "$out"/main-*-"$percent".png
  "$launch" wine "$shots" "$(winepath=Z:"$out"; echo "${winepath//\//\\}")" "$percent" || {
    echo "the main window's pictures failed at $percent%" >&2
    exit 1
  }
  "$launch" wineserver -k 2>/dev/null || true
  echo "wrote $out/gallery-$percent.png and $out/main-*-$percent.png"
  rm -f "$out/panels-$percent"-*.png
  "$launch" wine "$panels" "$(winepath=Z:"$out/panels-$percent"; echo "${winepath//\//\\}")" || {
    echo "the panels' gallery failed at $percent%" >&2
    exit 1
  }
  "$launch" wineserver -k 2>/dev/null || true
  echo "wrote $out/panels-$percent-{settings,support,startup}.png"
done
echo "wrote $out/contact-sheet.png"

# Knobset with the hand-written test file open and an item selected: its dialog
# test shows it for a while when asked to, on a display whose frame buffer
# Xvfb keeps as a file, which is then cropped to the window's corner.
cmake --build --preset win64 --target knobset_tests Knobset
fbdir="$(mktemp -d)"
for n in $(seq 150 199); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -fbdir "$fbdir" -nolisten tcp </dev/null >>"$out/xvfb.log" 2>&1 &
  knobset_xvfb=$!
  for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
  export DISPLAY=":$n"
  break
done
export WINEPREFIX="$out/prefix-100"
CORVANE_SCREENSHOT_HOLD_MS=90000 "$launch" wine "$root/build/win64/tests/knobset_tests.exe" \
  --gtest_filter='*ForAScreenshot*' >/dev/null 2>&1 &
knobset_test=$!
# Wine can take long to start on a busy machine: wait until the window is drawn.
drawn() {
  python3 - "$fbdir/Xvfb_screen0" "$root/tools" <<'PY'
import sys
sys.path.insert(0, sys.argv[2])
import xwd2png
_, _, rows = xwd2png.read_xwd(sys.argv[1])
sys.exit(0 if any(any(row[:960 * 3]) for row in rows[:640]) else 1)
PY
}
for _ in $(seq 1 40); do
  sleep 2
  drawn && { sleep 3; break; }
done
python3 "$root/tools/xwd2png.py" "$fbdir/Xvfb_screen0" "$out/knobset-100.png" 0 0 960 640
"$launch" wineserver -k 2>/dev/null || true
wait "$knobset_test" || true
kill "$knobset_xvfb" 2>/dev/null || true
rm -rf "$fbdir"
echo "wrote $out/knobset-100.png"
