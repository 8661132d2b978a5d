#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Windows part into build-win/ and runs its tests under wine, as CI
# does: chunkpicker.exe (the window, a native Win32 one over the same logic as
# the Qt window), chunkpicker.com (the same program on the console, for batch
# runs), chunkpicker-info.exe, chunkpicker-extract.exe and the demo maker, each one static .exe; their
# tests; the batch against the entries' bytes; and the window driven end to
# end in an X server. Then the installer, chunkpicker-<version>.msi:
# installed, run, upgraded and removed under wine in a wine prefix of a new
# user. The last two lines name the built chunkpicker.exe and the installer.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${CP_JOBS:-2}"

packages=(cmake ninja-build g++ g++-mingw-w64-x86-64-posix wine wine64 googletest wixl msitools xvfb xauth xdotool
    openbox wmctrl x11-apps python3)
scripts/install-packages.sh "${packages[@]}"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# A wine prefix of its own, made for this run and removed after it: the tests
# write to its registry and never see the user's. Without winemenubuilder,
# wine makes no menu entries or icons in the user's own desktop for the
# installer's shortcut.
scratch="$(mktemp -d)"
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

# The engine for Linux, without Qt: what chunkpicker-info.exe must match.
reference=build-win/linux-reference
cmake -S . -B "$reference" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCP_ENGINE_ONLY=ON -DCP_BUILD_TESTS=OFF \
    "${launcher[@]}" >/dev/null
cmake --build "$reference" -j "$jobs" --target chunkpicker-info chunkpicker-extract chunkpicker-make-demo

cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCP_ENGINE_ONLY=ON -DCP_BUILD_BENCH=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" "${launcher[@]}" >/dev/null
cmake --build build-win -j "$jobs"

# Nothing beside the programs: the system's own DLLs only.
for exe in build-win/chunkpicker.exe build-win/chunkpicker.com build-win/chunkpicker-info.exe \
    build-win/chunkpicker-extract.exe build-win/chunkpicker-make-demo.exe; do
    foreign="$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' \
        | grep -viE '^(kernel32|msvcrt|advapi32|shell32|user32|gdi32|comctl32|comdlg32|ole32|winmm|ntdll|api-ms-win-.*)\.dll$' \
        || true)"
    [ -z "$foreign" ] || { echo "$exe needs DLLs beside it: $foreign" >&2; exit 1; }
done

# Each X server gets a wine session of its own: a desktop process started for
# another display (or for none) would take the next one's windows.
end_session() {
    timeout 60 wineserver -k 2>/dev/null || true
    timeout 60 wineserver -w 2>/dev/null || true
}
timeout 300 wine wineboot --init >/dev/null 2>&1
end_session
# The entry list's test opens windows: wine draws them on a display of its own.
(cd build-win && xvfb-run -a ctest --output-on-failure)
end_session

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
# (winepath cuts its answer at 260 characters: wine's drive Z: is /.)
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
check_batch() { # SOURCE FOLDER
    mkdir -p "$2"
    wine build-win/chunkpicker.com "$(windows_path "$1")" "$(windows_path "$2")" >"$scratch/batch.out"
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
# The originals out of a tar of those entries, as on Linux: same names, same bytes.
tar -cf "$scratch/entries.tar" -C "$scratch/Ziel" .
mkdir "$scratch/originals-linux" "$scratch/originals-windows"
"$reference/chunkpicker-extract" --originals "$scratch/entries.tar" "$scratch/demo.pak" "$scratch/originals-linux" >/dev/null
wine build-win/chunkpicker-extract.exe --originals "$(windows_path "$scratch/entries.tar")" \
    "$(windows_path "$scratch/demo.pak")" "$(windows_path "$scratch/originals-windows")" >/dev/null
diff -r "$scratch/originals-linux" "$scratch/originals-windows"
[ "$(ls "$scratch/originals-windows" | wc -l)" -eq 18 ]
status=0
LANG=de_DE.UTF-8 wine build-win/chunkpicker.com "$(winepath -w "$scratch/fehlt.pak")" "$(winepath -w "$scratch/Ziel")" \
    2>"$scratch/refused.err" || status=$?
[ "$status" -eq 2 ] && grep -q '^Quelldatei nicht gefunden' "$scratch/refused.err" ||
    { echo "a missing source: status $status, $(cat "$scratch/refused.err")" >&2; exit 1; }

# The window, driven as a user drives it.
end_session
xvfb-run -a -s "-screen 0 1024x768x24" tests/e2e/windows_window_e2e.sh build-win/chunkpicker.exe "$scratch/demo.pak" \
    build-win/e2e-artifacts
# The installer.
cmake --build build-win -j "$jobs" --target chunkpicker-msi
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win/CMakeCache.txt)"
msi="$PWD/build-win/chunkpicker-$version.msi"
# For one user, without an administrator: no ALLUSERS, and the summary's
# word count says that no elevated rights are needed (bit 8).
msiinfo export "$msi" Property >"$scratch/properties"
grep -q "^ProductVersion	$version" "$scratch/properties"
grep -q '^UpgradeCode	{' "$scratch/properties"
if grep -q '^ALLUSERS' "$scratch/properties"; then
    echo "$msi installs for all users" >&2
    exit 1
fi
words="$(msiinfo suminfo "$msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p')"
((words & 8)) || { echo "$msi asks for an administrator" >&2; exit 1; }

# A new user's wine prefix. The user already has settings of the program,
# and another program offered for .ffl files, which the removal must keep.
export WINEPREFIX="$scratch/new-user"
timeout 300 wine wineboot --init >/dev/null 2>&1
settings='HKCU\Software\Oxbrook\Chunkpicker'
timeout 60 wine reg add "$settings" /v Zielverz /d 'C:\Klänge' /f >/dev/null
timeout 60 wine reg add 'HKCU\Software\Classes\.FFL\OpenWithProgids' /v Other.Player /d '' /f >/dev/null
# The prefix's files and registry, to compare after the removal; of the
# machine's only its software (HKLM\System counts the services wine starts).
snapshot() {
    timeout 60 wine reg export HKCU "$(winepath -w "$scratch/user.reg")" /y >/dev/null
    timeout 60 wine reg export 'HKLM\Software' "$(winepath -w "$scratch/machine.reg")" /y >/dev/null
    # Wine lists the machine's network cards there whenever one of its services first asks: not ours.
    iconv -f UTF-16LE -t UTF-8 "$scratch/user.reg" "$scratch/machine.reg" | tr -d '\r' \
        | awk '/^\[/ { skip = index($0, "\\NetworkCards") > 0 } !skip' >"$scratch/$1.reg"
    (cd "$WINEPREFIX/drive_c" && find . | sort) >"$scratch/$1.files"
}
snapshot before
timeout 300 wine msiexec /i "$(winepath -w "$msi")" /qn
localappdata="$(winepath -u "$(timeout 60 wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')")"
appdata="$(winepath -u "$(timeout 60 wine cmd /c echo %APPDATA% | tr -d '\r')")"
installed="$localappdata/Programs/Chunk Picker"
for file in chunkpicker.exe chunkpicker.com chunkpicker-info.exe chunkpicker-extract.exe LICENSE.txt; do
    [ -f "$installed/$file" ] || { echo "Not installed: $installed/$file" >&2; exit 1; }
done
cmp build-win/chunkpicker-info.exe "$installed/chunkpicker-info.exe"
# The Start menu entry starts the window and shows the program's icon.
tr -d '\0' <"$appdata/Microsoft/Windows/Start Menu/Programs/Chunk Picker.lnk" >"$scratch/shortcut"
grep -qaF 'Chunk Picker\chunkpicker.exe' "$scratch/shortcut"
grep -qaF 'chunkpicker.ico' "$scratch/shortcut"
timeout 60 wine reg query 'HKCU\Software\Classes\FFLFile\DefaultIcon' | grep -qF "$(winepath -w "$installed")\chunkpicker.exe"
# The folder is on the user's PATH, for the consoles started after this.
timeout 60 wine reg query 'HKCU\Environment' /v Path | grep -qF "$(winepath -w "$installed")"
timeout 60 wine "$installed/chunkpicker-info.exe" "$(winepath -w "$scratch/demo.pak")" >"$scratch/installed.out"
"$reference/chunkpicker-info" "$scratch/demo.pak" | cmp - "$scratch/installed.out"
# A batch run of the installed program, which registers the file types for the
# window program as every start does: the removal must take those too.
mkdir "$scratch/installed-entries"
timeout 120 wine "$installed/chunkpicker.com" "$(winepath -w "$scratch/demo.pak")" \
    "$(winepath -w "$scratch/installed-entries")" >/dev/null
[ "$(ls "$scratch/installed-entries" | wc -l)" -eq 9 ]

# A newer package replaces this one: one product of this upgrade code is left.
# (Windows Installer compares the first three parts of a version only.)
newer="${version%.*}.$((${version##*.} + 1))"
sed "s/Version=\"$version\"/Version=\"$newer\"/" build-win/msi/chunkpicker.wxs >"$scratch/newer.wxs"
(cd build-win/msi && wixl --arch x64 --output "$scratch/newer.msi" "$scratch/newer.wxs" &&
    msibuild "$scratch/newer.msi" -i _ForceCodepage.idt -i Environment.idt)
timeout 300 wine msiexec /i "$(winepath -w "$scratch/newer.msi")" /qn
timeout 60 wine reg query 'HKCU\Software\Microsoft\Installer\UpgradeCodes' /s >"$scratch/upgrade-codes"
products="$(grep -c 'REG_SZ' "$scratch/upgrade-codes" || true)"
[ "$products" -eq 1 ] || { echo "$products products installed after the upgrade, not 1" >&2; exit 1; }

# The removal leaves what was there before: the user's settings, and of the
# Windows Installer's own bookkeeping only empty keys and folders.
timeout 300 wine msiexec /x "$(winepath -w "$scratch/newer.msi")" /qn
snapshot removed
left="$( (diff "$scratch/before.files" "$scratch/removed.files" || true) | grep '^[<>]' \
    | grep -vxE '> \./(users/[^/]+/AppData/Roaming/Microsoft|windows)/Installer' || true)"
left+="$( (diff "$scratch/before.reg" "$scratch/removed.reg" || true) | grep '^[<>]' \
    | grep -vxE '> (\[HKEY_[^]]*\\(Microsoft|CurrentVersion)\\Installer(\\[^]]*)?\])?' || true)"
[ -z "$left" ] || { echo "Left after the removal: $left" >&2; exit 1; }
timeout 60 wine reg query "$settings" /v Zielverz >/dev/null
echo "Windows build tested under wine: $PWD/build-win/chunkpicker.exe"
echo "Installer built and tested under wine: $msi"
