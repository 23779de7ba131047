#!/usr/bin/env bash
# The release packages under Wine, in the test prefix of a Windows build:
#
#   install_test.sh ARCH VERSION COMPANY STAGE PACKAGE_DIR WINEPREFIX SOURCE_DIR CLI_EXE WINDRES
#
# - msiexec /i /qn installs the package: the files in <Program Files>\Corvane,
#   the Start menu shortcuts and the entry in Programs and Features (name,
#   version, publisher, icon) are there, and corvane-cli.exe analyses the
#   machine from the installed folder, carrying the version resource;
# - a tune-up from the installed folder keeps a backup point;
# - a package of a higher version, built from the same programs with wixl -D,
#   installs over it and leaves one entry; the older package then refuses to
#   install over the newer one;
# - the package of the other architecture, same version, replaces it, and is
#   replaced by it in turn (its programs are not run, so this works where the
#   machine runs no 32-bit programs);
# - msiexec /x /qn removes the program files, the folder and the shortcuts and
#   leaves <AppData>\Corvane\ with the backup point and Config.xml;
# - the portable archive unpacked to a folder with spaces in its name runs
#   corvane-cli.exe analyse.
#
# The packages are built here from STAGE (the files of the real package) with
# packaging/build-msi.sh, as the build makes them. A program whose target is
# not part of the build yet (Corvane.exe, Knobset.exe with knhlp.chm) is
# replaced in the test packages by a copy of corvane-cli.exe, so that its
# shortcut is tested all the same; the output says so.
set -uo pipefail
if [ $# -ne 9 ]; then
  sed -n '2,4p' "$0" >&2
  exit 2
fi
arch="$1" version="$2" company="$3" stage="$4" package_dir="$5" prefix="$6" src="$7" build_cli="$8" windres="$9"
launcher="$src/cmake/wine-launch.sh"
build_msi="$src/packaging/build-msi.sh"
catalogue="$src/tests/data/package/one_value.xml"
name="corvane-$version-$arch"
if [ "$arch" = x86 ] && ! reason=$("$launcher" --can-run-win32); then
  echo "skipped: $reason"
  exit 77
fi
work="$(mktemp -d)"
failures=0

# Wine's menu builder would copy the Start menu shortcuts into the desktop
# menus of the machine running the test: it stays off.
run() {
  env -u DISPLAY WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
    "$launcher" wine "$@"
}
# A program's exit code in $code, its output in $out (line ends as on Unix).
capture() {
  run "$@" >"$work/out" 2>&1
  code=$?
  out="$(tr -d '\r' <"$work/out")"
}
unix_path() { run winepath -u "$1" 2>/dev/null | tr -d '\r'; }
windows_path() { run winepath -w "$1" 2>/dev/null | tr -d '\r'; }
win_env() { run cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }
check() {  # what, command...
  local what="$1"
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
expect_code() {  # expected, what
  if [ "$code" -eq "$1" ]; then pass "$2 (exit $code)"; else
    fail "$2: exit $code, expected $1"
    echo "$out" | tail -20
  fi
}
product_code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
msiexec() {  # action, package, what
  capture msiexec "$1" "$(windows_path "$2")" /qn
}

uninstall_root='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# The uninstall entries named Corvane, as "key<TAB>DisplayVersion" lines, in
# both registry views (a 32-bit package registers in the 32-bit one).
corvane_entries() {
  local view
  for view in 64 32; do
    run reg query "$uninstall_root" /s /reg:$view 2>/dev/null | tr -d '\r' | awk '
      /^HKEY_/ { key = $0; name = ""; version = ""; next }
      /^ +DisplayName +REG_SZ +Corvane$/ { name = 1 }
      /^ +DisplayVersion +REG_SZ / { version = $3 }
      /^$/ { if (name) print key "\t" version; name = "" }
      END { if (name) print key "\t" version }'
  done | sort -u
}
value_of() {  # key, value name, view
  run reg query "$1" /v "$2" /reg:"$3" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
entry_value() {  # product code, value name, view
  value_of "$uninstall_root\\$1" "$2" "$3"
}
# The icon of the entry: Windows names it in DisplayIcon; Wine's installer
# writes no DisplayIcon and keeps it only as the product's ProductIcon.
entry_icon() {  # product code, view
  local icon packed
  icon="$(entry_value "$1" DisplayIcon "$2")"
  if [ -z "$icon" ]; then
    packed="$(packed_guid "$1")"
    icon="$(value_of "HKLM\\Software\\Classes\\Installer\\Products\\$packed" ProductIcon 64)"
  fi
  echo "$icon"
}
# A product code as Windows Installer keys its registration: the first three
# groups reversed, the rest byte by byte with the two hex digits swapped.
packed_guid() {
  local hex
  hex="$(tr -d '{}-' <<<"$1")"
  local out="" i
  out+="$(rev <<<"${hex:0:8}")$(rev <<<"${hex:8:4}")$(rev <<<"${hex:12:4}")"
  for ((i = 16; i < 32; i += 2)); do out+="${hex:i+1:1}${hex:i:1}"; done
  echo "$out"
}

cleanup() {
  # A failed run may leave a package installed.
  if [ -n "$(corvane_entries)" ]; then
    for package in "$work"/*.msi; do run msiexec /x "$(windows_path "$package")" /qn >/dev/null 2>&1; done
  fi
  run reg delete 'HKCU\Software\CorvaneTests\package' /f >/dev/null 2>&1
  run reg delete 'HKCU\Software\Corvane' /f >/dev/null 2>&1
  [ -n "${appdata:-}" ] && rm -rf "$appdata/Corvane"
  rm -rf "$work"
  return 0
}
trap cleanup EXIT

program_files_win="$(win_env ProgramFiles)"
program_files_x86_win="$(win_env 'ProgramFiles(x86)')"
program_data_win="$(win_env ProgramData)"
appdata="$(unix_path "$(win_env APPDATA)")"
if [ -z "$appdata" ] || [ -z "$program_files_win" ] || [ -z "$program_data_win" ]; then
  echo "FAIL: cannot find the prefix's folders"
  exit 1
fi
folder_of() {  # arch -> the program folder a package of that architecture installs into (Unix path)
  if [ "$1" = x64 ]; then unix_path "$program_files_win\\Corvane"; else unix_path "$program_files_x86_win\\Corvane"; fi
}
# A per-machine package puts its shortcuts into the Start menu of all users;
# Wine's installer puts them into the installing user's.
menus=("$(unix_path "$program_data_win\\Microsoft\\Windows\\Start Menu\\Programs")"
  "$(unix_path "$(win_env APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs")")
install_dir="$(folder_of "$arch")"
other_arch=x86
[ "$arch" = x86 ] && other_arch=x64
rm -rf "$appdata/Corvane"
run reg delete 'HKCU\Software\Corvane' /f >/dev/null 2>&1

# ------------------------------------------------------- the test packages
mkdir -p "$work/stage"
cp "$stage"/* "$work/stage/"
programs=(corvane-cli.exe Corvane.exe)
shortcuts=(Corvane.lnk)
if [ ! -f "$work/stage/Corvane.exe" ]; then
  echo "note: Corvane.exe is not built yet; a copy of corvane-cli.exe stands in for it"
  cp "$work/stage/corvane-cli.exe" "$work/stage/Corvane.exe"
fi
if [ ! -f "$work/stage/Knobset.exe" ]; then
  echo "note: Knobset.exe is not built yet; a copy of corvane-cli.exe and a text file stand in for it and its help"
  cp "$work/stage/corvane-cli.exe" "$work/stage/Knobset.exe"
  echo "stand-in help" >"$work/stage/knhlp.chm"
fi
programs+=(Knobset.exe knhlp.chm tweaks.xml)
shortcuts+=(Knobset.lnk)
IFS=. read -r major minor patch <<<"$version"
higher="$major.$minor.$((patch + 1))"
v1="$work/$name.msi"
v2="$work/corvane-$higher-$arch.msi"
other="$work/corvane-$higher-$other_arch.msi"
bash "$build_msi" "$arch" "$version" "$company" "$work/stage" "$v1" || fail "building $v1"
bash "$build_msi" "$arch" "$higher" "$company" "$work/stage" "$v2" || fail "building $v2"
bash "$build_msi" "$other_arch" "$higher" "$company" "$work/stage" "$other" || fail "building $other"
[ "$failures" -eq 0 ] || exit 1

installed_files_ok() {  # folder
  local file
  for file in "${programs[@]}"; do
    cmp -s "$work/stage/$file" "$1/$file" || { echo "  $1/$file differs or is missing"; return 1; }
  done
}
shortcuts_ok() {
  local link
  for link in "${shortcuts[@]}"; do
    [ -f "${menus[0]}/$link" ] || [ -f "${menus[1]}/$link" ] || { echo "  no $link in ${menus[*]}"; return 1; }
  done
}
shortcuts_gone() {
  local link menu
  for link in "${shortcuts[@]}"; do
    for menu in "${menus[@]}"; do [ ! -e "$menu/$link" ] || { echo "  $menu/$link is left"; return 1; }; done
  done
}
one_entry() {  # version
  local entries
  entries="$(corvane_entries)"
  if [ "$(grep -c . <<<"$entries")" -eq 1 ] && [ "$(cut -f2 <<<"$entries")" = "$1" ]; then return 0; fi
  echo "  entries: ${entries:-none}"
  return 1
}

# ---------------------------------------------------------------- install
check "the package holds the version and the company" \
  test "$(msiinfo export "$v1" Property | tr -d '\r' | grep -cxE "ProductVersion	$version|Manufacturer	$company")" -eq 2
msiexec /i "$v1"
expect_code 0 "msiexec /i $name.msi /qn"
check "the files are in $install_dir" installed_files_ok "$install_dir"
check "the Start menu shortcuts exist" shortcuts_ok
check "one entry in Programs and Features, version $version" one_entry "$version"
code1="$(product_code "$v1")"
view=64
[ "$arch" = x86 ] && view=32
check "the entry names the publisher" test "$(entry_value "$code1" Publisher $view)" = "$company"
icon="$(entry_icon "$code1" $view)"
check "the entry has an icon ($icon)" test -n "$icon" -a -f "$(unix_path "$icon")"
resource="$("$windres" -i "$install_dir/corvane-cli.exe" -O rc 2>/dev/null)"
check "the installed corvane-cli.exe carries version $version" grep -q "VALUE \"FileVersion\", \"$version\"" <<<"$resource"
check "... and the company" grep -q "VALUE \"CompanyName\", \"$company\"" <<<"$resource"

# The program runs from the installed folder, started from elsewhere.
installed_cli="$(windows_path "$install_dir/corvane-cli.exe")"
capture "$installed_cli" analyse
expect_code 0 "corvane-cli.exe analyse from the installed folder"
check "the analysis reports the system and its categories" grep -q "^System: " <<<"$out"
capture "$installed_cli" --catalogue "$(windows_path "$catalogue")" tuneup --backup
expect_code 0 "a tune-up from the installed folder"
point="$(sed -n 's/^Backup point: //p' <<<"$out")"
point_file="$(unix_path "$point")"
check "it kept a backup point ($point)" test -n "$point" -a -f "$point_file"

# ---------------------------------------------------------------- upgrade
msiexec /i "$v2"
expect_code 0 "msiexec /i corvane-$higher-$arch.msi /qn over $version"
check "one entry, version $higher" one_entry "$higher"
check "the files are in place" installed_files_ok "$install_dir"
check "the shortcuts are in place" shortcuts_ok
msiexec /i "$v1"
check "$name.msi refuses to install over $higher (exit $code)" test "$code" -ne 0
check "... and leaves $higher" one_entry "$higher"

msiexec /i "$other"
expect_code 0 "the $other_arch package of $higher replaces the $arch package of the same version"
check "one entry, version $higher" one_entry "$higher"
check "the files are in $(folder_of "$other_arch")" installed_files_ok "$(folder_of "$other_arch")"
check "nothing is left in $install_dir" test ! -e "$install_dir"
msiexec /i "$v2"
expect_code 0 "the $arch package of $higher replaces the $other_arch one"
check "one entry, version $higher" one_entry "$higher"

# -------------------------------------------------------------- uninstall
msiexec /x "$v2"
expect_code 0 "msiexec /x /qn"
check "no entry is left" test -z "$(corvane_entries)"
check "the program folder is gone" test ! -e "$install_dir"
check "the shortcuts are gone" shortcuts_gone
check "the backup point is kept" test -f "$point_file"
check "Config.xml is kept" test -f "$appdata/Corvane/Config.xml"
# The point still undoes the tune-up with a program of the same version.
capture "$(windows_path "$build_cli")" backups restore "$point"
expect_code 0 "the kept point restores"

# --------------------------------------------------------------- portable
portable="$work/Portable Corvane folder"
mkdir -p "$portable"
(cd "$portable" && cmake -E tar xf "$package_dir/$name.zip") || fail "unpacking $name.zip"
check "the archive holds one folder $name" test -f "$portable/$name/corvane-cli.exe" -a -f "$portable/$name/tweaks.xml"
capture "$(windows_path "$portable/$name/corvane-cli.exe")" analyse
expect_code 0 "corvane-cli.exe analyse from \"$portable/$name\""
check "the analysis reports the system" grep -q "^System: " <<<"$out"

echo
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "every check passed"
