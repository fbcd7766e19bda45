#!/usr/bin/env bash
# The Debian package as a packager and a user meet it: built from a copy of
# the source by dpkg-buildpackage, checked by lintian (no error, no warning),
# installed with apt, started from its menu entry on an X display of its own
# (tests running meanwhile keep theirs to themselves), and purged again,
# leaving the system's file list as it was.
# Usage: package_test.sh SOURCE_DIR WORK_DIR
# Installing needs root (as in CI); without it the test stops after lintian
# with status 77 (skipped).
set -uo pipefail
source=$1
work=$2
source "$(dirname "$0")/checks.sh"
need dpkg-buildpackage dpkg-dev
need dh debhelper
need lintian lintian
need xdotool xdotool
need gio libglib2.0-bin
need Xvfb xvfb

# A copy of the source files only: dpkg-buildpackage wants a clean tree and
# writes the packages beside it, so the checkout and its parent stay untouched.
rm -rf "$work"
mkdir -p "$work/src"
(cd "$source" && git ls-files -z --cached --others --exclude-standard |
   xargs -0 sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh |
   tar --null -T - -cf -) | tar -xf - -C "$work/src" || { echo "FAIL: copying the source"; exit 1; }

jobs=$(nproc)
if ! (cd "$work/src" && DEB_BUILD_OPTIONS="parallel=$jobs" dpkg-buildpackage -us -uc -b >"$work/build.log" 2>&1); then
  tail -40 "$work/build.log"
  echo "FAIL: dpkg-buildpackage -us -uc -b (whole log: $work/build.log)"
  exit 1
fi
deb=$(ls "$work"/brenvox-gui_*.deb)
ls "$work"/brenvox-gui-dbgsym_*.deb >/dev/null || fail "no -dbgsym package"

# lintian: every tag shown; errors and warnings fail.
lintian -EvIL +pedantic --tag-display-limit 0 "$work"/*.changes >"$work/lintian.log" 2>&1
grep -E '^[EWIPX]: ' "$work/lintian.log"
if grep -qE '^[EW]: ' "$work/lintian.log"; then fail "lintian reports errors or warnings"; fi

# The binaries: hardened (PIE, full RELRO with BIND_NOW, fortified) and stripped.
mkdir -p "$work/unpacked" && dpkg-deb -x "$deb" "$work/unpacked"
for program in brenvoxgui brenvox.exe; do
  binary=$work/unpacked/usr/bin/$program
  readelf -d "$binary" | grep -q 'BIND_NOW\|FLAGS_1.*NOW' || fail "$program is not linked with -z now"
  readelf -S "$binary" | grep -q '\.symtab' && fail "$program is not stripped"
  readelf -S "$binary" | grep -q '\.comment' && fail "$program keeps its .comment section"
done

if [ "$(id -u)" -ne 0 ]; then
  echo "not root: the package is built and checked, not installed"
  [ "$failures" -eq 0 ] && exit 77
  exit 1
fi

# The window's catalogs are in the package, where the program looks for them.
for po in "$source"/po/*.po; do
  mo=usr/share/locale/$(basename "$po" .po)/LC_MESSAGES/brenvoxgui.mo
  [ -s "$work/unpacked/$mo" ] || fail "the package has no $mo"
done

# One installation on this machine at a time; dpkg's own lock is waited for.
exec 9>/tmp/brenvox-package-test.lock
flock -w 600 9 || { echo "FAIL: another package test holds the lock"; exit 1; }
if dpkg-query -W brenvox-gui >/dev/null 2>&1; then echo "FAIL: brenvox-gui is already installed"; exit 1; fi
snapshot() {
  find /usr/bin /usr/share/applications /usr/share/icons/hicolor /usr/share/mime /usr/share/man/man1 \
    /usr/lib/debug -xdev 2>/dev/null | LC_ALL=C sort
}
snapshot >"$work/before.txt"
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=300 "$@" >>"$work/apt.log" 2>&1; }
apt_get install --no-install-recommends "$deb" || { tail -20 "$work/apt.log"; echo "FAIL: apt-get install"; exit 1; }

# The X server says its display number on descriptor 7 once it takes clients.
Xvfb -displayfd 7 -screen 0 1280x1024x24 -nolisten tcp 7>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null' EXIT
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { apt_get purge brenvox-gui; echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.log")"; exit 1; }
export DISPLAY=:$(cat "$work/display")
# Started as the desktop starts it: the Exec line of the installed entry,
# without its field code, from the home folder.
home=$work/home
mkdir -p "$home"
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/brenvoxgui.desktop)
read -r -a command <<<"${exec_line// %f/}"
(cd "$home" && HOME=$home XDG_CONFIG_HOME=$home/.config exec "${command[@]}") &
program=$!
window=""
for _ in $(seq 1 300); do
  window=$(xdotool search --onlyvisible --pid "$program" 2>/dev/null | head -1)
  [ -n "$window" ] && break
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done
[ -n "$window" ] || fail "the menu entry's command ($exec_line) showed no window"
kill -TERM "$program" 2>/dev/null
wait "$program"
status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status after SIGTERM"
[ -f "$home/.config/brenvoxgui/gui.ini" ] || fail "no per-user gui.ini after the program ended"

# The installed file type: a .kbv is a layout, with the layout's icon.
printf '%s' '-o "x"' >"$home/disc.kbv"
info=$(gio info -a standard::content-type,standard::icon "$home/disc.kbv" 2>&1)
grep -q 'content-type: application/x-brenvox-layout' <<<"$info" || fail "gio info: $info"
grep -q 'standard::icon: application-x-brenvox-layout' <<<"$info" || fail "gio info icon: $info"
/usr/bin/brenvoxgui --version | grep -qx 'brenvoxgui [0-9.]*' || fail "installed brenvoxgui --version"

apt_get purge brenvox-gui || { tail -20 "$work/apt.log"; fail "apt-get purge"; }
snapshot >"$work/after.txt"
diff "$work/before.txt" "$work/after.txt" >"$work/left.txt" || fail "purge left the system different:"$'\n'"$(cat "$work/left.txt")"
grep -rqs brenvox /usr/share/mime/globs2 /usr/share/applications/mimeinfo.cache && fail "a cache still names brenvox"

[ "$failures" -eq 0 ] && echo "package built, checked by lintian, installed, started and purged: all checks passed"
exit $((failures > 0))
