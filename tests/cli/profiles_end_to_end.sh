#!/usr/bin/env bash
# Profiles end to end under Wine, through the real corvane-cli.exe over the
# catalogue tests/data/cli/end_to_end.xml: save the selections as a profile,
# list it, set Default, set the saved profile, tune up, check the registry,
# restore the backup point and check that the keys are as before. The saved
# .pfs must be UTF-8 without a byte-order mark in <AppData>\Corvane\profiles\.
#
#   profiles_end_to_end.sh CORVANE_CLI_EXE WINEPREFIX SOURCE_DIR
set -uo pipefail
exe="$1"
prefix="$2"
src="$3"
# shellcheck source=../support/wine_script.sh
source "$src/tests/support/wine_script.sh"
catalogue="tests/data/cli/end_to_end.xml"  # relative: the program runs in $src
e2e_key='HKCU\Software\CorvaneTests\e2e'
profile='E2E Büro ☕ & <"x">'
cleanup() {
  run reg delete "$e2e_key" /f >/dev/null 2>&1
  run reg delete 'HKCU\Software\Corvane' /f >/dev/null 2>&1
  rm -rf "$folder" "$appdata/Corvane" "$appdata/CorvaneTests/e2e"
  rmdir "$(dirname "$folder")" "$appdata/CorvaneTests" 2>/dev/null
  return 0
}

temp_win="$(win_env TEMP)"
appdata_win="$(win_env APPDATA)"
folder="$(unix_path "$temp_win\\CorvaneTests\\e2e")"
appdata="$(unix_path "$appdata_win")"
if [ -z "$folder" ] || [ -z "$appdata" ]; then
  echo "FAIL: cannot find TEMP ($temp_win) or APPDATA ($appdata_win) in the prefix"
  exit 1
fi
trap 'cleanup; rm -rf "$work"' EXIT
cleanup

run reg add "$e2e_key\\Old" /v Mode /t REG_DWORD /d 1 /f >/dev/null
run reg add "$e2e_key\\Old" /v Obsolete /t REG_SZ /d "still here" /f >/dev/null
mkdir -p "$folder/Temp"
before="$(reg_snapshot "$e2e_key")"
grep -q 'Obsolete' <<<"$before" || fail "the registry snapshot does not see the values: $before"

# --------------------------------------------------- save the selections
cli --catalogue "$catalogue" deselect "E2E set values"
expect_code 0 "deselect"
cli --catalogue "$catalogue" select "E2E delete a value" "E2E Grüße ☕"
expect_code 0 "select"
cli --catalogue "$catalogue" profiles save "$profile" --description "Büro & <Heim>"
expect_code 0 "profiles save"
expect_in "$out" "Saved profile \"$profile\": $appdata_win\\Corvane\\profiles\\" "saved in <AppData>\\Corvane\\profiles\\"
pfs_win="$(sed -n 's/^Saved profile .*: //p' <<<"$out")"
pfs_name="${pfs_win##*\\}"
pfs="$appdata/Corvane/profiles/$pfs_name"
if [ -f "$pfs" ]; then
  pass "the file $pfs_name exists"
  if [ "$(head -c 3 "$pfs" | od -An -tx1 | tr -d ' ')" = "efbbbf" ]; then fail "the file starts with a byte-order mark"
  else pass "no byte-order mark"; fi
  iconv -f UTF-8 -t UTF-8 "$pfs" >/dev/null 2>&1 && pass "the file is UTF-8" || fail "the file is not UTF-8"
  expect_in "$(cat "$pfs")" 'name="E2E Büro ☕ &amp; &lt;&quot;x&quot;&gt;"' "the name is written whole and escaped"
  expect_in "$(cat "$pfs")" '<Tweak name="E2E set values" enabled="0">' "the deselected tweak is recorded as such"
else
  fail "no file $pfs"
fi
cli --catalogue "$catalogue" profiles save "$profile"
expect_code 2 "saving under a taken name"

cli --catalogue "$catalogue" profiles list
expect_code 0 "profiles list"
expect_in "$out" "  user      $profile  $pfs_name  " "the profile is listed with its file"
expect_in "$out" "  built-in  Security and Privacy" "the built-in profiles are listed"
cli --catalogue "$catalogue" profiles list --json
expect_in "$out" "\"file\": \"$pfs_name\"" "the JSON names the file"

# ------------------------------------------------------------ set them
cli --catalogue "$catalogue" profiles set Default
expect_code 0 "profiles set Default"
expect_in "$out" "Profile setting completed" "the setting is confirmed"
cli --catalogue "$catalogue" list
expect_in "$out" "[x] E2E set values" "Default selects what the tweak file selects"
expect_in "$out" "[ ] E2E delete a value" "Default deselects what the tweak file deselects"
cli --catalogue "$catalogue" profiles set "$profile"
expect_code 0 "profiles set (the saved profile)"
cli --catalogue "$catalogue" list
expect_in "$out" "[ ] E2E set values" "the saved deselection comes back"
expect_in "$out" "[x] E2E delete a value" "the saved selection comes back"
expect_in "$out" "[x] E2E Grüße ☕" "the selection of a name beyond ASCII comes back"

# ------------------------------------------------ tune up and restore
cli --catalogue "$catalogue" analyse --check
expect_code 3 "analyse --check before the tune-up"
cli --catalogue "$catalogue" tuneup --backup
expect_code 0 "tuneup"
point="$(sed -n 's/^Backup point: //p' <<<"$out")"
[ -n "$point" ] && pass "backup point $point" || fail "no backup point named in: $out"
after="$(reg_snapshot "$e2e_key")"
grep -q 'Obsolete' <<<"$after" && fail "Obsolete was not deleted" || pass "the selected deletion was made"
expect_in "$after" '"Wert ☕"="Grüße"' "the selected value beyond ASCII was set"
key_exists "$e2e_key\\Values" && fail "a deselected tweak was applied" || pass "the deselected tweak was left alone"
cli --catalogue "$catalogue" analyse --check
expect_code 0 "analyse --check after the tune-up"
cli backups restore "$point"
expect_code 0 "backups restore"
after="$(reg_snapshot "$e2e_key")"
if [ "$after" = "$before" ]; then pass "the registry is as before"; else
  fail "the restore did not give everything back"
  diff <(echo "$before") <(echo "$after")
fi

# ---------------------------------------------------------------- delete
cli --catalogue "$catalogue" profiles delete Default
expect_code 2 "deleting Default"
cli --catalogue "$catalogue" profiles delete "$pfs_name"
expect_code 0 "profiles delete (by file name)"
[ ! -e "$pfs" ] && pass "the file is gone" || fail "$pfs still exists"
cli backups delete "$point"

echo
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "every check passed"
