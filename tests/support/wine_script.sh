# Sourced by the scripts that drive a Windows program end to end under Wine.
# The caller sets exe (the program), prefix (the Wine prefix) and src (the
# source folder, where the program runs). A 32-bit program on a machine that
# runs none is skipped with exit code 77. Checks count their failures in
# $failures; $work is a scratch folder.

# Wine reads the arguments in the locale's encoding: UTF-8, so that names
# beyond ASCII arrive whole.
export LC_ALL=C.UTF-8
wine_run="$src/cmake/wine-run.sh"
wine_launch="$src/cmake/wine-launch.sh"
if [ "$("$wine_launch" --pe-machine "$exe")" = win32 ] && ! reason=$("$wine_launch" --can-run-win32); then
  echo "skipped: $reason"
  exit 77
fi
work="$(mktemp -d)"
failures=0

run() { "$wine_run" "$prefix" "$@"; }
# The program with its exit code in $code, its output in $out and $err.
cli() {
  (cd "$src" && run "$exe" "$@") >"$work/out" 2>"$work/err"
  code=$?
  out="$(tr -d '\r' <"$work/out")"
  err="$(tr -d '\r' <"$work/err")"
}
unix_path() { WINEPREFIX="$prefix" WINEDEBUG=-all "$wine_launch" wine winepath -u "$1" 2>/dev/null; }
windows_path() { WINEPREFIX="$prefix" WINEDEBUG=-all "$wine_launch" wine winepath -w "$1" 2>/dev/null; }
win_env() { run cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }
expect_code() {  # expected, what
  if [ "$code" -eq "$1" ]; then pass "$2 (exit $code)"; else
    fail "$2: exit $code, expected $1"
    echo "--- stdout"; echo "$out"; echo "--- stderr"; echo "$err"
  fi
}
expect_in() {  # text, part, what
  if grep -qaF -- "$2" <<<"$1"; then pass "$3"; else
    fail "$3: missing \"$2\" in:"
    echo "$1"
  fi
}
key_exists() { run reg query "$1" >/dev/null 2>&1; }
# A registry tree as sorted lines "[key]" and "[key]<TAB>value line", so
# that the order in which values were created does not count, their names,
# types and data do.
reg_snapshot() {  # key
  local file="$work/export.reg"
  rm -f "$file"
  if ! run reg export "$1" "$(windows_path "$file")" /y >/dev/null 2>&1; then
    echo "<no key>"
    return
  fi
  iconv -f UTF-16LE -t UTF-8 "$file" | tr -d '\r' | sed -e '1s/^\xEF\xBB\xBF//' |
    sed -e ':a' -e '/\\$/{N;s/\\\n *//;ba' -e '}' |
    awk '/^Windows Registry Editor/ { next } /^$/ { next } /^\[/ { section = $0; print; next } { print section "\t" $0 }' |
    LC_ALL=C sort
}
