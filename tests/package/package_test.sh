#!/usr/bin/env bash
# Builds the .deb, checks its files and dependencies, validates what it
# installs for the desktop, and runs the unpacked program on the demo archive.
# Usage: package_test.sh BUILD_DIR MAKE_DEMO
set -euo pipefail
build="$1" make_demo="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || fail "cpack: $(cat "$work/cpack.log")"
deb="$(ls "$work"/out/chunkpicker_*_*.deb)"
id=example.oxbrook.Chunkpicker
expected="/usr/bin/chunkpicker
/usr/bin/chunkpicker-info
/usr/share/applications/$id.desktop
$(for s in 128 16 256 32 48 64; do echo "/usr/share/icons/hicolor/${s}x${s}/apps/$id.png"; done)
/usr/share/icons/hicolor/scalable/apps/$id.svg
/usr/share/metainfo/$id.metainfo.xml
/usr/share/mime/packages/$id.xml"
files="$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./|/|' | sort)"
[ "$files" = "$expected" ] || fail "the package holds: $files"
depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libqt6widgets6 libqt6svg6 libsdl2 libsndfile1 libxcb1 libc6; do
    [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml" >/dev/null || fail "appstreamcli validate"

"$make_demo" "$work/demo.pak" >/dev/null
mkdir -p "$work/entries" "$work/home"
out="$(env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" \
    "$work/root/usr/bin/chunkpicker" "$work/demo.pak" "$work/entries")" || fail "the unpacked program failed"
[ "$(ls "$work/entries" | wc -l)" -eq 9 ] || fail "expected 9 entries: $out"
[ "$("$work/root/usr/bin/chunkpicker-info" "$work/demo.pak" | wc -l)" -eq 10 ] || fail "chunkpicker-info: not 9 entries"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes; $out"
