#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Windows part into build-win/ and runs its tests under wine, as CI
# does: chunkpicker.exe (the window, a native Win32 one over the same logic as
# the Qt window), chunkpicker.com (the same program on the console, for batch
# runs), chunkpicker-info.exe and the demo maker, each one static .exe; their
# tests; the batch against the entries' bytes; and the window driven end to
# end in an X server. The last line names the built chunkpicker.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${CP_JOBS:-2}"

packages=(cmake ninja-build g++ g++-mingw-w64-x86-64-posix wine wine64 googletest xvfb xauth xdotool openbox wmctrl
    x11-apps python3)
scripts/install-packages.sh "${packages[@]}"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# A wine prefix of its own, made for this run and removed after it: the tests
# write to its registry and never see the user's.
scratch="$(mktemp -d)"
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

# The engine for Linux, without Qt: what chunkpicker-info.exe must match.
reference=build-win/linux-reference
cmake -S . -B "$reference" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCP_ENGINE_ONLY=ON -DCP_BUILD_TESTS=OFF \
    "${launcher[@]}" >/dev/null
cmake --build "$reference" -j "$jobs" --target chunkpicker-info chunkpicker-make-demo

cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCP_ENGINE_ONLY=ON -DCP_BUILD_BENCH=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" "${launcher[@]}" >/dev/null
cmake --build build-win -j "$jobs"

# Nothing beside the programs: the system's own DLLs only.
for exe in build-win/chunkpicker.exe build-win/chunkpicker.com build-win/chunkpicker-info.exe \
    build-win/chunkpicker-make-demo.exe; do
    foreign="$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' \
        | grep -viE '^(kernel32|msvcrt|advapi32|shell32|user32|gdi32|comctl32|comdlg32|ole32|winmm|ntdll|api-ms-win-.*)\.dll$' \
        || true)"
    [ -z "$foreign" ] || { echo "$exe needs DLLs beside it: $foreign" >&2; exit 1; }
done

wine wineboot --init >/dev/null 2>&1
# The entry list's test opens windows: wine draws them on a display of its own.
(cd build-win && xvfb-run -a ctest --output-on-failure)

# chunkpicker-info.exe lists the demo archive byte for byte as Linux does,
# also under a name that is not ASCII; the demo maker makes the same archive.
"$reference/chunkpicker-make-demo" "$scratch/demo.pak" >/dev/null
cp "$scratch/demo.pak" "$scratch/Klänge ä.pak"
wine build-win/chunkpicker-make-demo.exe "$(winepath -w "$scratch/demo-win.pak")" >/dev/null
cmp "$scratch/demo.pak" "$scratch/demo-win.pak"
for format in "" --json; do
    "$reference/chunkpicker-info" $format "$scratch/demo.pak" >"$scratch/linux.out"
    wine build-win/chunkpicker-info.exe $format "$(winepath -w "$scratch/Klänge ä.pak")" >"$scratch/windows.out"
    cmp "$scratch/linux.out" "$scratch/windows.out"
done
# Without a decoder there, playing times come from the header: the same as
# the decoder's on Linux for the demo's sounds.
if [ -x build/chunkpicker-info ]; then
    build/chunkpicker-info "$scratch/demo.pak" >"$scratch/decoded.out"
    "$reference/chunkpicker-info" "$scratch/demo.pak" | cmp - "$scratch/decoded.out"
fi

# The batch on the console: every entry the bytes of the source from its tag
# to the next (the positions the Linux chunkpicker-info gives), under a name
# outside Latin-1 and in a folder whose path is past 260 characters; a missing
# source is refused with the Linux status.
check_batch() { # SOURCE FOLDER
    mkdir -p "$2"
    wine build-win/chunkpicker.com "$(winepath -w "$1")" "$(winepath -w "$2")" >"$scratch/batch.out"
    grep -q '^9 Einträge mit 539.795 Byte nach ' "$scratch/batch.out" || { cat "$scratch/batch.out"; exit 1; }
    "$reference/chunkpicker-info" --json "$1" | python3 -c '
import json, os, sys
source, folder = sys.argv[1], sys.argv[2]
data = open(source, "rb").read()
entries = json.load(sys.stdin)
assert len(os.listdir(folder)) == len(entries), os.listdir(folder)
for e in entries:
    name = "Sound%03d aus %s.wav" % (e["number"], os.path.basename(source))
    written = open(os.path.join(folder, name), "rb").read()
    assert written == data[e["position"] - 1 : e["position"] - 1 + e["length"]], name
' "$1" "$2"
}
cp "$scratch/demo.pak" "$scratch/Klänge ☃ Ωμέγα.pak"
check_batch "$scratch/Klänge ☃ Ωμέγα.pak" "$scratch/Ziel"
deep="$scratch/$(printf 'a%.0s' {1..120})/$(printf 'b%.0s' {1..120})/Ziel"
check_batch "$scratch/demo.pak" "$deep"
status=0
LANG=de_DE.UTF-8 wine build-win/chunkpicker.com "$(winepath -w "$scratch/fehlt.pak")" "$(winepath -w "$scratch/Ziel")" \
    2>"$scratch/refused.err" || status=$?
[ "$status" -eq 2 ] && grep -q '^Quelldatei nicht gefunden' "$scratch/refused.err" ||
    { echo "a missing source: status $status, $(cat "$scratch/refused.err")" >&2; exit 1; }

# The window, driven as a user drives it.
xvfb-run -a -s "-screen 0 1024x768x24" tests/e2e/windows_window_e2e.sh build-win/chunkpicker.exe "$scratch/demo.pak" \
    build-win/e2e-artifacts
echo "Windows build tested under wine: $PWD/build-win/chunkpicker.exe"
