#!/usr/bin/env bash
# Checks a built .deb as a user would meet it: small (stripped programs),
# with copyright, changelog and Japanese manual pages, valid desktop entry
# and metainfo, and nothing that makes Tonbo the program for folders.
# Usage: check-deb.sh PACKAGE.deb
set -euo pipefail
deb=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-deb: $*" >&2; exit 1; }

dpkg-deb -x "$deb" "$work/root"
dpkg-deb -e "$deb" "$work/control"
root=$work/root

size=$(sed -n 's/^Installed-Size: //p' "$work/control/control")
[ -n "$size" ] || fail "no Installed-Size"
[ "$size" -lt 20000 ] || fail "installed size ${size} KiB: are the programs stripped?"

for exe in usr/bin/tonbo usr/bin/tonbo-cli; do
  [ -x "$root/$exe" ] || fail "missing $exe"
  if readelf -S --wide "$root/$exe" | grep -Eq ' \.(symtab|debug_[a-z]+) '; then
    fail "$exe is not stripped"
  fi
done

[ -s "$root/usr/share/doc/tonbo/copyright" ] || fail "no copyright"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/' \
  "$root/usr/share/doc/tonbo/copyright" || fail "copyright is not in the Debian format"
zcat "$root/usr/share/doc/tonbo/changelog.gz" | head -1 | grep -q '^tonbo (' ||
  fail "no changelog"

for page in tonbo tonbo-cli; do
  gz=$root/usr/share/man/man1/$page.1.gz
  [ -s "$gz" ] || fail "no manual page $page(1)"
  # Japanese text, and groff finds nothing to warn of.
  zcat "$gz" | grep -q '説明' || fail "$page(1) is not in Japanese"
  warnings=$(zcat "$gz" | groff -k -man -Tutf8 -ww -Wbreak -z 2>&1 || true)
  [ -z "$warnings" ] || fail "$page(1): $warnings"
done
# The option list is the program's own: every option tonbo-cli --help names.
for option in $(LANG=C.UTF-8 "$root/usr/bin/tonbo-cli" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  zcat "$root/usr/share/man/man1/tonbo-cli.1.gz" | grep -qF -- "${option//-/\\-}" ||
    fail "tonbo-cli(1) does not name $option"
done

# The readers of pictures' and songs' tags are shared libraries of their own.
for lib in libexiv2 libtag1v5; do
  grep -q "^Depends:.*$lib" "$work/control/control" || fail "Depends lacks $lib"
done

entry=$root/usr/share/applications/org.tonbo.Tonbo.desktop
[ -f "$entry" ] || fail "no desktop entry"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry"; fi
# Installing must not make Tonbo the program that opens folders.
if grep -q '^MimeType=.*inode/directory' "$entry"; then
  fail "the desktop entry claims folders"
fi
metainfo=$root/usr/share/metainfo/org.tonbo.Tonbo.metainfo.xml
[ -f "$metainfo" ] || fail "no metainfo"
if command -v appstreamcli >/dev/null; then appstreamcli validate --no-net "$metainfo" >/dev/null; fi
echo "check-deb: $deb is fine (${size} KiB installed)"
