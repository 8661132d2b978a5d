#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the .deb, checks its files and dependencies, runs lintian and the
# desktop validators on it, and runs the unpacked program on the demo archive.
# Every step has its own time bound and is named when it starts, fails or runs
# over; the Package test's timeout in tests/CMakeLists.txt leaves room for
# their sum (480 s, and 5 s of grace each). Usage: package_test.sh BUILD_DIR MAKE_DEMO
set -euo pipefail
build="$1" make_demo="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
step_label=package
source "$(dirname "$0")/../../scripts/steps.sh"

step cpack 120 bash -c 'cd "$1" && cpack -G DEB -B "$2/out" >"$2/cpack.log" 2>&1 || { cat "$2/cpack.log"; exit 1; }' \
    _ "$build" "$work"
deb="$(ls "$work"/out/chunkpicker_*_*.deb)"
id=example.oxbrook.Chunkpicker
expected="/usr/bin/chunkpicker
/usr/bin/chunkpicker-extract
/usr/bin/chunkpicker-info
/usr/share/applications/$id.desktop
/usr/share/doc/chunkpicker/changelog.gz
/usr/share/doc/chunkpicker/copyright
$(for s in 128 16 256 32 48 64; do echo "/usr/share/icons/hicolor/${s}x${s}/apps/$id.png"; done)
/usr/share/icons/hicolor/scalable/apps/$id.svg
/usr/share/man/de/man1/chunkpicker-extract.1.gz
/usr/share/man/de/man1/chunkpicker-info.1.gz
/usr/share/man/de/man1/chunkpicker.1.gz
/usr/share/man/man1/chunkpicker-extract.1.gz
/usr/share/man/man1/chunkpicker-info.1.gz
/usr/share/man/man1/chunkpicker.1.gz
/usr/share/metainfo/$id.metainfo.xml
/usr/share/mime/packages/$id.xml"
contents="$(step "dpkg-deb contents" 30 dpkg-deb -c "$deb")"
files="$(awk '$1 !~ /^d/ {print $6}' <<<"$contents" | sed 's|^\./|/|' | LC_ALL=C sort)"
[ "$files" = "$expected" ] || fail "the package holds: $files"
depends="$(step "dpkg-deb fields" 30 dpkg-deb -f "$deb" Depends)"
for lib in libqt6widgets6 libqt6svg6 libsdl2 libsndfile1 libxcb1 libc6; do
    [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

# Errors and warnings fail; pedantic and informational tags are shown. None is
# kept at present; a kept one is listed here with its reason.
tags="$(step lintian 120 lintian --display-info --pedantic --fail-on none "$deb" 2>&1)"
[ -z "$tags" ] || echo "$tags"
! grep -q '^[EW]: ' <<<"$tags" || fail "lintian reports errors or warnings"

step "dpkg-deb unpack" 30 dpkg-deb -x "$deb" "$work/root"
step desktop-file-validate 30 desktop-file-validate "$work/root/usr/share/applications/$id.desktop"
step "appstreamcli validate" 30 appstreamcli validate --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml" >/dev/null

step "make demo" 30 "$make_demo" "$work/demo.pak" >/dev/null
mkdir -p "$work/entries" "$work/home"
out="$(step "batch run" 30 env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" XDG_DATA_HOME="$work/home/data" \
    XDG_CONFIG_HOME="$work/home/config" "$work/root/usr/bin/chunkpicker" "$work/demo.pak" "$work/entries")"
[ "$(ls "$work/entries" | wc -l)" -eq 9 ] || fail "expected 9 entries: $out"
info="$(step chunkpicker-info 30 "$work/root/usr/bin/chunkpicker-info" "$work/demo.pak")"
[ "$(wc -l <<<"$info")" -eq 10 ] || fail "chunkpicker-info: not 9 entries"
mkdir "$work/originals"
step chunkpicker-extract 30 "$work/root/usr/bin/chunkpicker-extract" --originals "$work/demo.pak" "$work/originals" >/dev/null
[ "$(ls "$work/originals" | wc -l)" -eq 9 ] || fail "chunkpicker-extract: not 9 files"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes; $out"
