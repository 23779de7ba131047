#!/usr/bin/env bash
# The startup commands end to end under Wine, through the real corvane-cli.exe:
# a Run value in each registry view, a program and a shortcut in the user's
# Startup folder; list them; disable them and check that they are gone and
# their copies exist; restore them and check that they are back byte for byte.
# Wine's own startup entries are recorded before and must be unchanged after.
#
#   end_to_end.sh CORVANE_CLI_EXE WINEPREFIX SOURCE_DIR
set -uo pipefail
exe="$1"
prefix="$2"
src="$3"
# shellcheck source=../support/wine_script.sh
source "$src/tests/support/wine_script.sh"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
run_key_native='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
run_key_32='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Run'
run_location='HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run, CorvaneE2E'
run32_location='HKLM\SOFTWARE\WOW6432Node\Microsoft\Windows\CurrentVersion\Run, CorvaneE2E32'

reg_line() { run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | grep -aF -- "$2" | head -1; }
# Wine's own autostart keys, to check that nothing of them changes.
wine_entries() {
  for key in 'HKLM\Software\Microsoft\Windows\CurrentVersion\RunServices' "$run_key_native" "$run_key_32"; do
    echo "[$key]"
    run reg query "$key" 2>/dev/null | tr -d '\r' | grep -a 'REG_' | grep -v CorvaneE2E
  done
}

appdata_win="$(win_env APPDATA)"
appdata="$(unix_path "$appdata_win")"
# The folder Wine made ("StartUp"); Linux names are case-sensitive.
programs="$appdata/Microsoft/Windows/Start Menu/Programs"
startup="$(find "$programs" -maxdepth 1 -type d -iname startup 2>/dev/null | head -1)"
startup="${startup:-$programs/StartUp}"
snapshot="$appdata/Corvane/startup"
cleanup() {
  run reg delete "$run_key" /v CorvaneE2E /f >/dev/null 2>&1
  run reg delete "$run_key_32" /v CorvaneE2E32 /f >/dev/null 2>&1
  rm -f "$startup/corvane-e2e.exe" "$startup/corvane-e2e.lnk"
  rm -rf "$snapshot"
  return 0
}
if [ -z "$appdata" ]; then
  echo "FAIL: cannot find APPDATA in the prefix"
  exit 1
fi
trap 'cleanup; rm -rf "$work"' EXIT
cleanup

# ------------------------------------------------------------ the machine
wine_before="$(wine_entries)"
run reg add "$run_key" /v CorvaneE2E /t REG_EXPAND_SZ /d '%SystemRoot%\notepad.exe /e2e' /f >/dev/null
run reg add "$run_key_32" /v CorvaneE2E32 /t REG_SZ /d 'C:\old\tool.exe -q' /f >/dev/null
mkdir -p "$startup"
# A program: any file that begins with "MZ"; this one is the command line itself.
cp "$exe" "$startup/corvane-e2e.exe"
# A shortcut in the shell link format: header, then the relative path and the
# arguments as counted UTF-16 strings.
python3 - "$startup/corvane-e2e.lnk" <<'PY'
import struct, sys, uuid
flags = 0x08 | 0x20 | 0x80  # HasRelativePath, HasArguments, IsUnicode
header = struct.pack('<I16sIIQQQIiIHHII', 0x4C, uuid.UUID('00021401-0000-0000-c000-000000000046').bytes_le,
                     flags, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0)
def counted(text):
    return struct.pack('<H', len(text)) + text.encode('utf-16-le')
open(sys.argv[1], 'wb').write(header + counted('..\\tool.exe') + counted('--from-startup') + b'\0\0\0\0')
PY
program_sum="$(md5sum <"$startup/corvane-e2e.exe" | cut -d' ' -f1)"
link_sum="$(md5sum <"$startup/corvane-e2e.lnk" | cut -d' ' -f1)"
run_before="$(reg_line "$run_key" CorvaneE2E)"
run32_before="$(reg_line "$run_key_32" CorvaneE2E32)"
program_location="$appdata_win\\Microsoft\\Windows\\Start Menu\\Programs\\$(basename "$startup")\\corvane-e2e.exe"
link_location="${program_location%.exe}.lnk"

# -------------------------------------------------------------------- list
cli startup list --json
expect_code 0 "startup list --json"
json_location() { sed -e 's/\\/\\\\/g' <<<"$1"; }
expect_in "$out" "\"location\": \"$(json_location "$run_location")\"" "the user's Run value is listed"
expect_in "$out" "\"location\": \"$(json_location "$run32_location")\"" "the 32-bit Run value is listed"
expect_in "$out" "\"location\": \"$(json_location "$program_location")\"" "the program in the Startup folder is listed"
expect_in "$out" "\"location\": \"$(json_location "$link_location")\"" "the shortcut in the Startup folder is listed"
expect_in "$(grep -A6 -F "$(json_location "$run32_location")" <<<"$out")" '"view": 32' "the 32-bit value says its view"
expect_in "$(grep -A6 -F "$(json_location "$run_location")" <<<"$out")" '"view": 64' "the user's value says its view"
# A service with an automatic start, where Wine has one, to try disabling it.
service_location="$(grep -aoE '"location": "HKLM\\\\SYSTEM\\\\CurrentControlSet\\\\Services\\\\[^"]+"' <<<"$out" |
  head -1 | sed -e 's/^"location": "//' -e 's/"$//' -e 's/\\\\/\\/g')"
cli startup list
expect_code 0 "startup list"
expect_in "$out" "Registry 'Run' keys / Machine 'Run' key (32-bit)" "the 32-bit category"

# ------------------------------------------------------------- bad requests
cli startup disable "$run_location" 'HKCU\nowhere, x'
expect_code 2 "an unknown entry changes nothing"
[ -n "$(reg_line "$run_key" CorvaneE2E)" ] && pass "the value is still there" || fail "an unknown entry removed a value"
cli startup disable 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon, Shell'
if [ "$code" -eq 2 ]; then pass "Winlogon's shell is read-only (or absent)"; else fail "Winlogon shell: exit $code"; fi

if [ -n "$service_location" ]; then
  cli startup disable "$service_location"
  expect_code 2 "a service is read-only"
  expect_in "$err" "Services console" "the refusal says where services are changed"
else
  echo "note: Wine lists no service with an automatic start; the service check is left out"
fi

# ------------------------------------------------------------------ disable
cli startup disable "$run_location" "$run32_location" "$program_location" "$link_location"
expect_code 0 "startup disable of four entries"
[ -z "$(reg_line "$run_key" CorvaneE2E)" ] && pass "the user's Run value is gone" || fail "the Run value is still there"
[ -z "$(reg_line "$run_key_32" CorvaneE2E32)" ] && pass "the 32-bit Run value is gone" || fail "the 32-bit value is still there"
[ ! -e "$startup/corvane-e2e.exe" ] && pass "the program is gone" || fail "the program is still there"
[ ! -e "$startup/corvane-e2e.lnk" ] && pass "the shortcut is gone" || fail "the shortcut is still there"
[ -f "$snapshot/Files/$program_sum" ] && pass "the program's copy is kept" || fail "no copy $program_sum"
[ -f "$snapshot/Files/$link_sum" ] && pass "the shortcut's copy is kept" || fail "no copy $link_sum"
[ -f "$snapshot/snapshot.xml" ] && pass "the snapshot is written" || fail "no snapshot.xml"
cli startup list --json
expect_in "$(grep -A10 -F "$(json_location "$run_location")" <<<"$out")" '"backup": true' "the listing says the backup is held"

# ------------------------------------------------------------------ restore
cli startup restore "$run_location" "$run32_location" "$program_location" "$link_location"
expect_code 0 "startup restore of four entries"
[ "$(reg_line "$run_key" CorvaneE2E)" = "$run_before" ] && pass "the user's Run value is back as it was" ||
  fail "Run value: \"$(reg_line "$run_key" CorvaneE2E)\", expected \"$run_before\""
[ "$(reg_line "$run_key_32" CorvaneE2E32)" = "$run32_before" ] && pass "the 32-bit Run value is back as it was" ||
  fail "32-bit value: \"$(reg_line "$run_key_32" CorvaneE2E32)\", expected \"$run32_before\""
[ "$(md5sum <"$startup/corvane-e2e.exe" | cut -d' ' -f1)" = "$program_sum" ] && pass "the program is back byte for byte" ||
  fail "the program differs"
[ "$(md5sum <"$startup/corvane-e2e.lnk" | cut -d' ' -f1)" = "$link_sum" ] && pass "the shortcut is back byte for byte" ||
  fail "the shortcut differs"
[ ! -e "$snapshot/Files/$program_sum" ] && pass "the copy no backup needs is gone" || fail "a copy stayed behind"
wine_after="$(wine_entries)"
if [ "$wine_after" = "$wine_before" ]; then pass "Wine's own entries are untouched"; else
  fail "Wine's own entries changed"
  diff <(echo "$wine_before") <(echo "$wine_after")
fi

echo
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "every check passed"
