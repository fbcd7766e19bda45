#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a desktop gets: the
# file list, the menu entry (desktop-file-validate), the .kbv type (xmllint,
# then update-mime-database on a copy), the icon sizes, the manual pages
# (rendered by man without a warning) and the installed tool's answers.
# Usage: install_test.sh BUILD_DIR PREFIX
set -uo pipefail
build=$1
prefix=$2
source "$(dirname "$0")/checks.sh"
need desktop-file-validate desktop-file-utils
need xmllint libxml2-utils
need man man-db
need update-mime-database shared-mime-info
need python3 python3

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

# The file list, exactly.
sizes="16 22 24 32 48 64 128 256"
expected=$(
  printf '%s\n' bin/brenvoxgui bin/brenvox.exe share/applications/brenvoxgui.desktop \
    share/mime/packages/brenvoxgui.xml share/man/man1/brenvoxgui.1.gz share/man/man1/brenvox.exe.1.gz
  # One catalog per po/LANG.po, where the program looks beside its bin folder.
  for po in "$(dirname "$0")"/../../po/*.po; do
    echo "share/locale/$(basename "$po" .po)/LC_MESSAGES/brenvoxgui.mo"
  done
  for icon in apps/brenvoxgui mimetypes/application-x-brenvox-layout; do
    echo "share/icons/hicolor/scalable/$icon.svg"
    for size in $sizes; do echo "share/icons/hicolor/${size}x${size}/$icon.png"; done
  done
)
actual=$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
expected=$(LC_ALL=C sort <<<"$expected")
[ "$actual" = "$expected" ] || fail "installed files differ:"$'\n'"$(diff <(echo "$expected") <(echo "$actual"))"
for program in brenvoxgui brenvox.exe; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done

# The menu entry: valid, and it opens layout files with the installed program.
desktop=$prefix/share/applications/brenvoxgui.desktop
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx 'Exec=brenvoxgui %f' "$desktop" || fail "the entry does not start brenvoxgui with the file (%f)"
grep -qx 'Icon=brenvoxgui' "$desktop" || fail "the entry's icon is not the installed one"
grep -qx 'StartupNotify=true' "$desktop" || fail "the entry does not say StartupNotify=true"

# The layout type: well-formed, as the entry names it, and taken by the MIME database.
mime=$prefix/share/mime/packages/brenvoxgui.xml
xmllint --noout "$mime" || fail "xmllint: $mime is not well-formed"
path='//*[local-name()="mime-type"]'
type=$(xmllint --xpath "string($path/@type)" "$mime")
[ "$type" = application/x-brenvox-layout ] || fail "MIME type '$type'"
[ "$(xmllint --xpath "string($path/*[local-name()='comment'])" "$mime")" = "brenvox layout" ] || fail "MIME comment"
[ "$(xmllint --xpath "string($path/*[local-name()='glob']/@pattern)" "$mime")" = "*.kbv" ] || fail "MIME glob"
[ "$(xmllint --xpath "string($path/*[local-name()='icon']/@name)" "$mime")" = "${type/\//-}" ] || fail "MIME icon"
grep -qx "MimeType=$type;application/x-cue;application/x-cd-image;" "$desktop" ||
  fail "the entry does not open $type, cue sheets and ISO images"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$prefix/share/mime" "$scratch/mime"
out=$(XDG_DATA_DIRS=$scratch update-mime-database "$scratch/mime" 2>&1) && [ -z "$out" ] || fail "update-mime-database: $out"
grep -q "^50:$type:\*\.kbv$" "$scratch/mime/globs2" || fail "the MIME database has no *.kbv glob: $(cat "$scratch/mime/globs2")"

# The icons: well-formed drawings, and PNG files of their folder's size.
for icon in apps/brenvoxgui mimetypes/application-x-brenvox-layout; do
  xmllint --noout "$prefix/share/icons/hicolor/scalable/$icon.svg" || fail "xmllint: $icon.svg is not well-formed"
  for size in $sizes; do
    png=$prefix/share/icons/hicolor/${size}x${size}/$icon.png
    dims=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(33); print("%d %d %d" % (struct.unpack(">II", d[16:24]) + (d[25],)) if d[:8]==b"\x89PNG\r\n\x1a\n" else "not a PNG")' "$png")
    [ "$dims" = "$size $size 6" ] || fail "$png: '$dims', not a $size x $size PNG with alpha (colour type 6)"
  done
done

# The manual pages: rendered without a warning, each naming its program.
for page in brenvoxgui brenvox.exe; do
  file=$prefix/share/man/man1/$page.1.gz
  warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
  MANWIDTH=80 man -l "$file" 2>/dev/null | grep -q "^ *$page - " || fail "man $page: no NAME line"
done

# The installed tool answers without writing an image.
version=$("$prefix/bin/brenvox.exe" --version) || fail "brenvox.exe --version: status $?"
[[ $version =~ ^brenvox\.exe\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "brenvox.exe --version: '$version'"
"$prefix/bin/brenvox.exe" --help | grep -q '^usage: brenvox.exe -o TARGET' || fail "brenvox.exe --help"

[ "$failures" -eq 0 ] && echo "installed tree under $prefix: all checks passed"
exit $((failures > 0))
