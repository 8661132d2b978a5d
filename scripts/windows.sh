#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Windows part into build-win/ and runs its tests under wine, as CI
# does: the engine, chunkpicker-info.exe and the demo maker, each one static
# .exe, and the file-type registration's test. The window needs Qt for
# Windows, which Debian does not offer, so it is not part of it yet.
# The last line names the built chunkpicker-info.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${CP_JOBS:-2}"

packages=(cmake ninja-build g++ g++-mingw-w64-x86-64-posix wine wine64 googletest xvfb xauth)
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
for exe in build-win/chunkpicker-info.exe build-win/chunkpicker-make-demo.exe; do
    foreign="$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' \
        | grep -viE '^(kernel32|msvcrt|advapi32|shell32|user32|ntdll|api-ms-win-.*)\.dll$' || true)"
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
echo "Windows build tested under wine: $PWD/build-win/chunkpicker-info.exe"
