#!/usr/bin/env bash
# Installs the .deb with apt on this machine, runs it headless on the demo
# archive, purges it, and checks that none of its files and neither of its file
# types stays behind. Needs root or sudo. Usage: scripts/package-check.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
fail() { echo "FAIL: $*" >&2; exit 1; }
if dpkg-query -W -f='${Status}' chunkpicker 2>/dev/null | grep -q installed; then
    echo "chunkpicker is installed on this machine already; leaving it alone"
    exit 0
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null 2>&1) || fail "cpack"
deb="$(ls "$work"/out/chunkpicker_*.deb)"

DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
files="$(dpkg -L chunkpicker | while read -r f; do [ -f "$f" ] && echo "$f"; done)"
[ "$(command -v chunkpicker)" = /usr/bin/chunkpicker ] || fail "chunkpicker is not on the PATH"
grep -q '^[0-9]*:application/x-ffl:\*\.ffl$' /usr/share/mime/globs2 || fail "the system does not know .ffl files"
"$build/chunkpicker-make-demo" "$work/demo.pak" >/dev/null
mkdir "$work/entries"
env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" \
    chunkpicker "$work/demo.pak" "$work/entries" || fail "the installed program failed"
[ "$(ls "$work/entries" | wc -l)" -eq 9 ] || fail "expected 9 entries"

DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq chunkpicker >/dev/null
for f in $files; do
    [ ! -e "$f" ] || fail "$f stayed after the purge"
done
! grep -q 'application/x-ffl' /usr/share/mime/globs2 || fail "the .ffl type stayed in the MIME database"
echo "package install, run and purge: passed ($(stat -c %s "$deb") bytes)"
