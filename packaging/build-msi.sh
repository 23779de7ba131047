#!/usr/bin/env bash
# Builds one Windows Installer package of Corvane with wixl (msitools):
#
#   build-msi.sh ARCH VERSION COMPANY STAGE OUTPUT.msi [NAME=VALUE...]
#
# ARCH is x86 or x64; STAGE is the folder with the files to install
# (corvane-cli.exe and tweaks.xml always; Corvane.exe, and Knobset.exe with
# knhlp.chm, when they are built). Extra NAME=VALUE pairs go to wixl as -D.
set -euo pipefail
if [ $# -lt 5 ]; then
  echo "usage: $0 x86|x64 VERSION COMPANY STAGE OUTPUT.msi [NAME=VALUE...]" >&2
  exit 2
fi
arch="$1" version="$2" company="$3" stage="$4" output="$5"
shift 5
here="$(cd "$(dirname "$0")" && pwd)"

defines=(-D "Version=$version" -D "Company=$company" -D "Arch=$arch")
case "$arch" in
  x86) ;;
  x64) defines+=(-D Win64=1) ;;
  *) echo "$0: architecture must be x86 or x64, not \"$arch\"" >&2; exit 2 ;;
esac
for required in corvane-cli.exe tweaks.xml; do
  [ -f "$stage/$required" ] || { echo "$0: $stage/$required is missing" >&2; exit 1; }
done
[ -f "$stage/Corvane.exe" ] && defines+=(-D HaveCorvane=1)
if [ -f "$stage/Knobset.exe" ]; then
  [ -f "$stage/knhlp.chm" ] || { echo "$0: Knobset.exe without its help $stage/knhlp.chm" >&2; exit 1; }
  defines+=(-D HaveKnobset=1)
fi

# The product code is fixed by version and architecture, so that a package
# built again is the same product, and each version and architecture is a
# product of its own (which the major upgrade replaces).
digest="$(printf 'Corvane product %s %s' "$version" "$arch" | sha1sum | tr 'a-f' 'A-F')"
product_code="${digest:0:8}-${digest:8:4}-5${digest:13:3}-A${digest:17:3}-${digest:20:12}"
defines+=(-D "ProductCode=$product_code")
for pair in "$@"; do defines+=(-D "$pair"); done

# wixl finds the files named in the source beside the source.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
find "$stage" -maxdepth 1 -type f -exec cp {} "$work/" \;
cp "$here/Corvane.wxs" "$work/"
mkdir -p "$(dirname "$output")"
output="$(cd "$(dirname "$output")" && pwd)/$(basename "$output")"
# wixl says "unimplemented" for package attributes it does not write; the
# package is complete without them.
(cd "$work" && wixl -a "$arch" "${defines[@]}" -o "$output" Corvane.wxs 2>&1 | grep -v 'builder.vala:.*unimplemented' >&2 || true)
[ -s "$output" ] || { echo "$0: wixl made no package" >&2; exit 1; }
