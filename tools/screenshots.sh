#!/usr/bin/env bash
# Screenshots of the skinned controls, for people to look at (not part of CI).
#   tools/screenshots.sh
# Builds the gallery (win64), runs it under Wine on a private Xvfb display at
# 100% and at 200% (a prefix whose LogPixels is 192), and saves under
# build/screenshots/: gallery-100.png, gallery-200.png, the draw operations of
# every control beside them (.txt), and the artwork's contact sheet.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build/screenshots"
launch="$root/cmake/wine-launch.sh"
mkdir -p "$out"

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target aqua_gallery
gallery="$root/build/win64/gui/aqua_gallery.exe"
cp "$root/build/win64/skin/contact-sheet.png" "$out/contact-sheet.png"

state="$out/xvfb"
"$root/cmake/xvfb.sh" start "$state" >/dev/null
trap '"$root/cmake/xvfb.sh" stop "$state" >/dev/null 2>&1 || true' EXIT
export DISPLAY="$(cat "$state/display")"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

for percent in 100 200; do
  export WINEPREFIX="$out/prefix-$percent"
  if [ ! -d "$WINEPREFIX" ]; then
    "$launch" wine wineboot -i >/dev/null 2>&1
    "$launch" wineserver -w
  fi
  dpi=$((96 * percent / 100))
  "$launch" wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  "$launch" wineserver -w
  rm -f "$out/gallery-$percent.png"
  "$launch" wine "$gallery" "$(winepath=Z:"$out/gallery-$percent.png"; echo "${winepath//\//\\}")" || {
    echo "the gallery failed at $percent%" >&2
    exit 1
  }
  "$launch" wineserver -k 2>/dev/null || true
  echo "wrote $out/gallery-$percent.png"
done
echo "wrote $out/contact-sheet.png"
