#!/usr/bin/env bash
# Every catalog in po/ is complete against the texts the build extracted:
# each text of brenvoxgui.pot is there, translated and not fuzzy (msgcmp),
# and msgfmt --check accepts it (placeholders, plural forms, header).
# Usage: catalog_test.sh POT PO_DIR
set -uo pipefail
pot=$1
po_dir=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

[ -s "$pot" ] || { echo "FAIL: no $pot (built by the translations target)"; exit 1; }
shopt -s nullglob
catalogs=("$po_dir"/*.po)
[ "${#catalogs[@]}" -gt 0 ] || fail "no catalog in $po_dir"
for po in "${catalogs[@]}"; do
  # Without --use-untranslated and --use-fuzzy, msgcmp counts an untranslated
  # or fuzzy entry as missing.
  out=$(msgcmp "$po" "$pot" 2>&1) || fail "$(basename "$po") lacks texts of the window:"$'\n'"$out"
  stats=$(LC_ALL=C msgfmt --check --statistics -o /dev/null "$po" 2>&1) || fail "msgfmt --check $po: $stats"
  case $stats in
    *untranslated* | *fuzzy*) fail "$(basename "$po"): $stats" ;;
  esac
  obsolete=$(grep -c '^#~' "$po")
  [ "$obsolete" -eq 0 ] || fail "$(basename "$po") keeps $obsolete obsolete lines: texts the window no longer has"
done
[ "$failures" -eq 0 ] && echo "every catalog is complete"
[ "$failures" -eq 0 ]
