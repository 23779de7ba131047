#!/usr/bin/env bash
# End to end under Wine: drives the real corvane-cli.exe over the catalogue
# tests/data/cli/end_to_end.xml, whose tweaks work on HKCU\Software\CorvaneTests\e2e,
# on %TEMP%\CorvaneTests\e2e and on a shortcut below the application-data
# folder. It records the keys (reg export) and files before, analyses,
# selects, tunes up, checks with reg query and the file system that the
# tweaks hold, restores the backup point and checks that everything the run
# touched is back byte for byte (the files removed as cleanup excepted, since
# those are not saved); then the same for two runs with different selections
# restored together, newest first.
#
#   end_to_end.sh CORVANE_CLI_EXE WINEPREFIX SOURCE_DIR
set -uo pipefail
exe="$1"
prefix="$2"
src="$3"
# shellcheck source=../support/wine_script.sh
source "$src/tests/support/wine_script.sh"
catalogue="tests/data/cli/end_to_end.xml"  # relative: the program runs in $src
e2e_key='HKCU\Software\CorvaneTests\e2e'
reg_has() {  # key, value name, expected text in the reg query line
  local line
  line="$(run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | grep -aF -- "$2" | head -1)"
  if grep -qF -- "$3" <<<"$line"; then pass "$1 $2 holds $3"; else fail "$1 $2: \"$line\", expected \"$3\""; fi
}
reg_lacks_value() {
  if run reg query "$1" /v "$2" >/dev/null 2>&1; then fail "$1 $2 still exists"; else pass "$1 $2 is gone"; fi
}

# Every file below a folder with its digest, and every folder.
files_snapshot() {
  local dir="$1"
  [ -d "$dir" ] || { echo "<no folder>"; return; }
  (cd "$dir" && find . -mindepth 1 | LC_ALL=C sort | while read -r entry; do
    if [ -d "$entry" ]; then echo "dir $entry"; else echo "file $entry $(sha256sum <"$entry" | cut -d' ' -f1)"; fi
  done)
}
# Everything the tweaks touch; the cleanup deletions (*.tmp) do not come back.
machine_snapshot() {
  reg_snapshot "$e2e_key"
  files_snapshot "$folder" | grep -v '\.tmp '
  files_snapshot "$links"
}
cleanup() {
  run reg delete "$e2e_key" /f >/dev/null 2>&1
  run reg delete 'HKCU\Software\Corvane' /f >/dev/null 2>&1
  rm -rf "$folder" "$links" "$appdata/Corvane"
  rmdir "$(dirname "$folder")" "$(dirname "$links")" 2>/dev/null
  return 0
}

temp_win="$(win_env TEMP)"
appdata_win="$(win_env APPDATA)"
folder="$(unix_path "$temp_win\\CorvaneTests\\e2e")"
appdata="$(unix_path "$appdata_win")"
links="$appdata/CorvaneTests/e2e/Links"
if [ -z "$folder" ] || [ -z "$appdata" ]; then
  echo "FAIL: cannot find TEMP ($temp_win) or APPDATA ($appdata_win) in the prefix"
  exit 1
fi
trap 'cleanup; rm -rf "$work"' EXIT
cleanup

# ------------------------------------------------------------ the machine
run reg add "$e2e_key\\Old" /v Mode /t REG_DWORD /d 1 /f >/dev/null
run reg add "$e2e_key\\Old" /v Obsolete /t REG_SZ /d "still here" /f >/dev/null
run reg add "$e2e_key\\Gone\\Deeper" /v Kept /t REG_BINARY /d 0a0b0c /f >/dev/null
run reg add "$e2e_key\\Gone" /v Note /t REG_SZ /d "deleted with the key" /f >/dev/null
run reg add "$e2e_key\\Emptied" /v First /t REG_SZ /d one /f >/dev/null
run reg add "$e2e_key\\Emptied" /v Second /t REG_DWORD /d 2 /f >/dev/null
mkdir -p "$folder/Temp"
printf 'scratch' >"$folder/Temp/a.tmp"
printf 'more scratch' >"$folder/Temp/b.tmp"
printf 'kept' >"$folder/Temp/keep.txt"
printf 'log lines\r\n' >"$folder/old.log"
before="$(machine_snapshot)"
grep -q 'Obsolete' <<<"$before" || fail "the registry snapshot does not see the values: $before"

# ------------------------------------------------------------- usage errors
cli frobnicate
expect_code 2 "an unknown command"
expect_in "$err" 'corvane-cli: unknown command "frobnicate"' "the unknown command is named"
expect_in "$err" "usage: corvane-cli" "the usage follows"
printf '<Tweaks><Category n="x"><Tweak n="y"></Category></Tweaks>' >"$work/broken.xml"
cli --catalogue "$(windows_path "$work/broken.xml")" analyse
expect_code 2 "an unparsable catalogue"
expect_in "$err" "cannot load the catalogue $(windows_path "$work/broken.xml"): " "the catalogue is named"

# ------------------------------------------------------------------ analyse
cli --catalogue "$catalogue" analyse
expect_code 0 "analyse"
# The sets "Silver" and "Gold" merge into the named catalogue, so the
# categories hold more than these tweaks.
expect_in "$out" "Windows/System: no tweaks were applied (" "category status"
expect_in "$out" "[x] not in effect  E2E replace a value  (C_)" "a differing value"
expect_in "$out" "[ ] not in effect  E2E delete a value  (V_)" "a value still there"
expect_in "$out" "[x] not in effect  E2E remove a key  (K_)" "a key still there"
expect_in "$out" "[x] not in effect  E2E clean temporary files" "a file item"
expect_in "$out" "    [ ] not in effect  E2E editor setting  (!K_)" "a tweak in a nested group, indented"
cli --catalogue "$catalogue" analyse --json
expect_code 0 "analyse --json"
expect_in "$out" '"registryStatus": [' "the JSON report"
expect_in "$out" '"name": "E2E set values",' "the JSON names the tweaks"
[ "${out:0:1}" = "{" ] && [ "${out: -1}" = "}" ] && pass "standard output holds the document alone" ||
  fail "JSON output is not one document"

# ------------------------------------------------------- select and tune up
cli --catalogue "$catalogue" select "E2E delete a value" "no such tweak"
expect_code 2 "select with an unknown name"
cli --catalogue "$catalogue" select "E2E delete a value"
expect_code 0 "select"
expect_in "$out" "Selected: E2E delete a value" "select says what it did"

cli --catalogue "$catalogue" tuneup
expect_code 0 "tuneup"
expect_in "$out" "keeping a backup point" "EnableBackup absent: a backup point is kept"
expect_in "$out" "A restart of Windows may be needed" "the restart note"
point1="$(sed -n 's/^Backup point: //p' <<<"$out")"
[ -n "$point1" ] && pass "backup point $point1" || fail "no backup point named in: $out"

# reg query writes text in the console's code page; the export keeps it whole.
expect_in "$(reg_snapshot "$e2e_key")" '"Text"="Grüße ☕"' "Values Text holds the text beyond ASCII"
reg_has "$e2e_key\\Values" Expandable "REG_EXPAND_SZ"
reg_has "$e2e_key\\Values" Number "0x2a"
reg_has "$e2e_key\\Values" Bytes "010203040000"
reg_has "$e2e_key\\Values" Lines "REG_MULTI_SZ"
reg_has "$e2e_key\\Old" Mode "0x2"
reg_lacks_value "$e2e_key\\Old" Obsolete
key_exists "$e2e_key\\Gone" && fail "the key Gone still exists" || pass "the key Gone is gone"
if run reg query "$e2e_key\\Emptied" 2>/dev/null | tr -d '\r' | grep -q 'REG_'; then
  fail "Emptied still holds values"
else pass "Emptied holds no values"; fi
[ ! -e "$folder/Temp/a.tmp" ] && [ ! -e "$folder/Temp/b.tmp" ] && [ -e "$folder/Temp/keep.txt" ] &&
  pass "the temporary files are gone, the others stay" || fail "temporary files: $(ls "$folder/Temp")"
[ ! -e "$folder/old.log" ] && pass "the log is gone" || fail "old.log still exists"
[ -e "$links/Corvane Notes.lnk" ] && pass "the shortcut exists" || fail "no shortcut in $links"

cli --catalogue "$catalogue" tuneup
expect_code 0 "tuneup with nothing pending"
expect_in "$out" "No tweaks selected for applying" "nothing pending is told"

cli backups list
expect_code 0 "backups list"
expect_in "$out" "$(basename "${point1//\\//}")" "the point is listed"
tuned="$(machine_snapshot)"
cli backups show "$point1"
expect_code 0 "backups show"
expect_in "$out" 'HKCU\Software\CorvaneTests\e2e\Old, value "Mode" comes back: REG_DWORD' "show names a value and what comes back"
expect_in "$out" "old.log comes back from its saved copy" "show names a file that comes back"
[ "$(machine_snapshot)" = "$tuned" ] && pass "show changed nothing" || fail "backups show changed the machine"
cli backups find 'corvanetests\E2E\old'
expect_code 0 "backups find"
expect_in "$out" "$(basename "${point1//\\//}")" "find names the point of a key, ignoring case"

# ------------------------------------------------------------------ restore
cli backups restore "$point1"
expect_code 0 "backups restore (by path)"
expect_in "$out" "Restoring complete" "the restore completes"
after="$(machine_snapshot)"
if [ "$after" = "$before" ]; then pass "the registry and the files are as before"; else
  fail "the restore did not give everything back"
  diff <(echo "$before") <(echo "$after")
fi

# ------------------------------------------- two runs restored newest first
cli --catalogue "$catalogue" tuneup --backup
expect_code 0 "first of two runs"
point_a="$(sed -n 's/^Backup point: //p' <<<"$out")"
run reg add "$e2e_key\\Old" /v Mode /t REG_DWORD /d 7 /f >/dev/null  # the user changes a value in between
cli --catalogue "$catalogue" select "E2E make a key" "E2E editor setting" "E2E Grüße ☕"
expect_code 0 "other selections"
expect_in "$out" "Selected: E2E Grüße ☕" "a name beyond ASCII arrives and is written whole"
cli --catalogue "$catalogue" deselect "E2E set values"
expect_code 0 "deselect"
cli --catalogue "$catalogue" tuneup
expect_code 0 "second of two runs"
point_b="$(sed -n 's/^Backup point: //p' <<<"$out")"
key_exists "$e2e_key\\Made" && pass "the second run made its key" || fail "no key Made"
reg_has "$e2e_key\\Editor" Tabs "0x4"
expect_in "$(reg_snapshot "$e2e_key")" '"Wert ☕"="Grüße"' "a key and value beyond ASCII"
reg_has "$e2e_key\\Old" Mode "0x2"
name_a="$(basename "${point_a//\\//}")"
name_b="$(basename "${point_b//\\//}")"
cli backups restore "$name_a" "$name_b"
expect_code 0 "restoring both points (given oldest first)"
if [ "$(grep -n "Restored $name_b" <<<"$out" | cut -d: -f1)" -lt "$(grep -n "Restored $name_a" <<<"$out" | cut -d: -f1)" ]; then
  pass "the newest point was restored first"
else fail "restore order: $out"; fi
after="$(machine_snapshot)"
if [ "$after" = "$before" ]; then pass "both runs undone: everything is as before"; else
  fail "two runs restored did not give everything back"
  diff <(echo "$before") <(echo "$after")
fi

# ------------------------------------------------------------------- delete
cli backups delete "$name_a" "$name_b" "$point1"
expect_code 0 "backups delete"
cli backups list --json
expect_in "$out" '"points": []' "no points left"

echo
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "every check passed"
