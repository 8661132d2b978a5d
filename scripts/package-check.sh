#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the .deb with apt on this machine, runs it headless on the demo
# archive, purges it, and checks that none of its files and neither of its file
# types stays behind. Needs root or sudo. Every step has its own time bound and
# is named when it starts, fails or runs over. Usage: scripts/package-check.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
step_label=package-check
source scripts/steps.sh
if dpkg-query -W -f='${Status}' chunkpicker 2>/dev/null | grep -q installed; then
    echo "chunkpicker is installed on this machine already; leaving it alone"
    exit 0
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
step cpack 120 bash -c 'cd "$1" && cpack -G DEB -B "$2/out" >"$2/cpack.log" 2>&1 || { cat "$2/cpack.log"; exit 1; }' \
    _ "$build" "$work"
deb="$(ls "$work"/out/chunkpicker_*.deb)"

export DEBIAN_FRONTEND=noninteractive
step "apt-get install" 300 $sudo apt-get -o DPkg::Lock::Timeout=120 install -y -qq --no-install-recommends "$deb" >/dev/null
listed="$(step "dpkg -L" 30 dpkg -L chunkpicker)"
files="$(while read -r f; do [ -f "$f" ] && echo "$f"; done <<<"$listed")"
[ "$(command -v chunkpicker)" = /usr/bin/chunkpicker ] || fail "chunkpicker is not on the PATH"
grep -q '^[0-9]*:application/x-ffl:\*\.ffl$' /usr/share/mime/globs2 || fail "the system does not know .ffl files"
step "man chunkpicker" 30 env MANPAGER=cat MANWIDTH=80 man chunkpicker >/dev/null
step "make demo" 30 "$build/chunkpicker-make-demo" "$work/demo.pak" >/dev/null
mkdir "$work/entries"
step "installed batch run" 30 env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work" XDG_DATA_HOME="$work/data" \
    XDG_CONFIG_HOME="$work/config" chunkpicker "$work/demo.pak" "$work/entries"
[ "$(ls "$work/entries" | wc -l)" -eq 9 ] || fail "expected 9 entries"

step "apt-get purge" 300 $sudo apt-get -o DPkg::Lock::Timeout=120 purge -y -qq chunkpicker >/dev/null
for f in $files; do
    [ ! -e "$f" ] || fail "$f stayed after the purge"
done
! grep -q 'application/x-ffl' /usr/share/mime/globs2 || fail "the .ffl type stayed in the MIME database"
echo "package install, run and purge: passed ($(stat -c %s "$deb") bytes)"
