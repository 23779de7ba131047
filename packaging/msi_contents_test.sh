#!/usr/bin/env bash
# What the Windows Installer packages hold, read back with msiinfo, for each
# architecture and each set of programs a build may have; and the mistakes
# build-msi.sh refuses. Runs on the build machine, no Wine needed.
#
#   msi_contents_test.sh SOURCE_DIR
set -uo pipefail
src="$1"
build_msi="$src/packaging/build-msi.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }
expect_eq() {  # actual, expected, what
  if [ "$1" = "$2" ]; then pass "$3"; else
    fail "$3"
    echo "--- got:"; echo "$1"; echo "--- expected:"; echo "$2"
  fi
}
# A table's rows without its three header lines, sorted, tab-separated; each
# table is read once.
rows() {
  local cache="$1.$2"
  [ -f "$cache" ] || msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4 | LC_ALL=C sort >"$cache"
  cat "$cache"
}
column() { rows "$1" "$2" | cut -f"$3"; }
property() { rows "$1" Property | sed -n "s/^$2\t//p"; }

stage() {  # folder, files...
  local dir="$1" file
  shift
  mkdir -p "$dir"
  for file in "$@"; do printf 'contents of %s\n' "$file" >"$dir/$file"; done
}
stage "$work/cli" corvane-cli.exe tweaks.xml
stage "$work/all" corvane-cli.exe tweaks.xml Corvane.exe Knobset.exe knhlp.chm

# ------------------------------------------------------------ the packages
#        name        arch stage version programs(File rows)                                      shortcuts        folder                64-bit components  template
cases=(
  "x64-cli|x64|cli|2.3.0|corvane-cli.exe tweaks.xml||ProgramFiles64Folder|256|x64;1033"
  "x86-cli|x86|cli|2.3.0|corvane-cli.exe tweaks.xml||ProgramFilesFolder|0|Intel;1033"
  "x64-all|x64|all|2.3.0|Corvane.exe Knobset.exe corvane-cli.exe knhlp.chm tweaks.xml|Corvane Knobset|ProgramFiles64Folder|256|x64;1033"
  "x86-all|x86|all|2.3.0|Corvane.exe Knobset.exe corvane-cli.exe knhlp.chm tweaks.xml|Corvane Knobset|ProgramFilesFolder|0|Intel;1033"
  "x64-next|x64|all|2.4.1|Corvane.exe Knobset.exe corvane-cli.exe knhlp.chm tweaks.xml|Corvane Knobset|ProgramFiles64Folder|256|x64;1033"
)
upgrade_codes=()
product_codes=()
for entry in "${cases[@]}"; do
  IFS='|' read -r name arch dir version files shortcuts folder attributes template <<<"$entry"
  msi="$work/$name.msi"
  if ! bash "$build_msi" "$arch" "$version" "Test Company" "$work/$dir" "$msi"; then
    fail "$name: build-msi.sh failed"
    continue
  fi
  expect_eq "$(column "$msi" File 3 | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')" "$files" "$name: the files"
  expect_eq "$(rows "$msi" Directory | grep -c "^INSTALLDIR	$folder	Corvane$")" 1 "$name: into <$folder>\\Corvane"
  expect_eq "$(column "$msi" Component 4 | sort -u)" "$attributes" "$name: component attributes $attributes"
  expect_eq "$(msiinfo suminfo "$msi" | sed -n 's/^Template: //p')" "$template" "$name: platform $template"
  expect_eq "$(property "$msi" ProductVersion)" "$version" "$name: version $version"
  expect_eq "$(property "$msi" Manufacturer)" "Test Company" "$name: the company"
  expect_eq "$(property "$msi" ALLUSERS)" 1 "$name: per machine"
  expect_eq "$(rows "$msi" Shortcut | awk -F'\t' '{ print $3 "->" $4 " in " $2 }' | tr '\n' ' ' | sed 's/ $//')" \
    "$(for s in $shortcuts; do printf '%s->%sExe in ProgramMenuFolder ' "$s" "$s"; done | sed 's/ $//')" \
    "$name: the Start menu shortcuts"
  if [ -n "$shortcuts" ]; then
    expect_eq "$(property "$msi" ARPPRODUCTICON)" "Corvane.exe" "$name: the entry shows Corvane's icon"
  else
    expect_eq "$(property "$msi" ARPPRODUCTICON)" "" "$name: no icon without Corvane.exe"
  fi
  # Nothing outside the program folder but the shortcuts and the entry.
  for table in Registry ServiceInstall ServiceControl CustomAction CreateFolder RemoveFile; do
    expect_eq "$(rows "$msi" $table)" "" "$name: nothing in $table"
  done
  code="$(property "$msi" UpgradeCode)"
  upgrade_codes+=("$code")
  product_codes+=("$(property "$msi" ProductCode)")
  # Older versions and the same version (the other architecture) are
  # removed; a newer one is only detected, and the launch condition stops.
  expect_eq "$(rows "$msi" Upgrade | cut -f2,3,5,7)" \
    "$(printf '\t%s\t1\tWIX_UPGRADE_DETECTED\n%s\t\t256\tSAME_VERSION_DETECTED\n%s\t\t2\tWIX_DOWNGRADE_DETECTED' \
      "$version" "$version" "$version" | LC_ALL=C sort)" "$name: the upgrade rules"
  expect_eq "$(rows "$msi" LaunchCondition)" "NOT WIX_DOWNGRADE_DETECTED	A newer version of Corvane is already installed." \
    "$name: no downgrade"
  expect_eq "$(rows "$msi" InstallExecuteSequence | grep -c '^RemoveExistingProducts')" 1 "$name: removes what it replaces"
done
expect_eq "$(printf '%s\n' "${upgrade_codes[@]}" | sort -u)" "{B6EAA589-4FCE-440B-A035-372C92767968}" \
  "one upgrade code for every architecture and version"
expect_eq "$(printf '%s\n' "${product_codes[@]:2}" | sort -u | wc -l)" 3 \
  "a product code per version and architecture"
expect_eq "${product_codes[0]}" "${product_codes[2]}" "the product code depends on version and architecture alone"

# ------------------------------------------------------------- mistakes
stage "$work/no-help" corvane-cli.exe tweaks.xml Knobset.exe
stage "$work/no-cli" tweaks.xml Corvane.exe
#        what                          args                                     exit  message
mistakes=(
  "Knobset without its help|x64 2.3.0 C $work/no-help $work/m.msi|1|Knobset.exe without its help"
  "no command line|x64 2.3.0 C $work/no-cli $work/m.msi|1|corvane-cli.exe is missing"
  "an unknown architecture|arm64 2.3.0 C $work/cli $work/m.msi|2|architecture must be x86 or x64"
  "too few arguments|x64 2.3.0|2|usage:"
)
for entry in "${mistakes[@]}"; do
  IFS='|' read -r what args expected message <<<"$entry"
  rm -f "$work/m.msi"
  # shellcheck disable=SC2086 # the arguments are words
  bash "$build_msi" $args >"$work/out" 2>&1
  code=$?
  if [ "$code" -eq "$expected" ] && grep -qF "$message" "$work/out" && [ ! -e "$work/m.msi" ]; then
    pass "$what: refused (exit $code)"
  else
    fail "$what: exit $code, expected $expected with \"$message\" and no package"
    cat "$work/out"
  fi
done

echo
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "every check passed"
