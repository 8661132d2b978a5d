#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives chunkpicker.exe under wine in a real X server (run under xvfb-run,
# with WINEPREFIX set): opens the demo archive, steps back with the wrap,
# plays into a file that stands in for the sound card, ticks the loop box,
# saves an entry and switches the notice off, saves all onto existing names
# through the replace question, closes the window from the title bar, then
# checks the registry and that the entry files are gone.
# Each step waits for what it brings about, so a busy machine only makes it slower.
# Usage: windows_window_e2e.sh CHUNKPICKER_EXE DEMO_ARCHIVE ARTIFACT_DIR
set -euo pipefail
exe="$1" demo="$2" artifacts="$3"

source "$(dirname "$0")/e2e_common.sh"
winpath() { winepath -w "$1" 2>/dev/null; }
key="HKCU\\Software\\Oxbrook\\Chunkpicker"
setting() { wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n {print $3}'; }
has_setting() { [ "$(setting "$1")" = "$2" ]; }

# The sound card wine finds: ALSA's file plugin, which writes what is played into OUT.raw.
export HOME="$work/home" LANG=de_DE.UTF-8 LC_ALL=
mkdir -p "$HOME" "$artifacts"
printf 'pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' "$work/OUT.raw" >"$HOME/.asoundrc"
wine reg delete "$key" /f >/dev/null 2>&1 || true
cp "$demo" "$work/demo.pak"

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
until_ "no window manager" wmctrl -m >/dev/null 2>&1

entries() { find "$WINEPREFIX/drive_c/users" -name 'Sound* aus demo.pak.wav' 2>/dev/null | wc -l; }
nine_entries() { [ "$(entries)" -eq 9 ]; }
ended() { ! kill -0 "$app" 2>/dev/null; }
# A key whose effect shows in the window: waits until it did and is still.
press() { until_ "the window keeps changing" still; local before="$look"; xdotool windowactivate --sync "$wid" key "$1"; until_ "no effect of $1" still "$before"; }
active_is() { [ "$(xdotool getactivewindow getwindowname 2>/dev/null)" = "$1" ]; }
# Types into the dialog the key opens (its caption given) and confirms.
choose() {
    xdotool windowactivate --sync "$wid" key "$1"
    until_ "no dialog '$2' after $1" active_is "$2"
    xdotool type --delay 5 "$3"
    xdotool key Return
}
sound_played() { [ -s "$work/OUT.raw" ]; }

wine "$exe" "$(winpath "$work/demo.pak")" &
app=$!
wid="$(find_window --name '^demo\.pak - Chunk Picker$' || true)"
[ -n "$wid" ] || fail "no window titled 'demo.pak - Chunk Picker'"
until_ "expected 9 entry files in the temporary folder" nine_entries
# F4 opens the entry list; moving to a row there makes its entry the main window's.
xdotool windowactivate --sync "$wid" key F4
list="$(find_window --name '^Einträge$' || true)"
[ -n "$list" ] || fail "F4 opened no entry list"
until_ "the window keeps changing" still
before="$look"
xdotool windowactivate --sync "$list" key Tab Tab Down # from the filter box past the box into the rows
until_ "moving in the entry list changed no entry" still "$before"
xwd -id "$list" -silent >"$artifacts/windows-entries.xwd"
# Back to entry 1, then back twice: the wrap to entry 9, then entry 8, the long note.
xdotool windowactivate --sync "$wid" key Home
press Left
press Left
xdotool windowactivate --sync "$wid" key Return
until_ "Play wrote no sound" sound_played
xwd -id "$wid" -silent >"$artifacts/windows-playing.xwd" # to look at
# The loop box, where the twips table puts it at 96 dots per inch.
until_ "the window keeps changing" still
xdotool mousemove --window "$wid" 106 127 click 1 mousemove 0 0

choose ctrl+s "Speichern als" "$(winpath "$work/erstes.wav")"
until_ "no notice after Save" active_is "Chunk Picker"
xdotool key space Return
until_ "the tick in the notice was not kept" has_setting FileSavedMsg Wahr
until_ "the notice stays" active_is "demo.pak - Chunk Picker"
choose ctrl+s "Speichern als" "$(winpath "$work/zweites.wav")"
until_ "the second Save wrote no zweites.wav" test -s "$work/zweites.wav"
own="$(dirname "$(find "$WINEPREFIX/drive_c/users" -name 'Sound008 aus demo.pak.wav' | head -1)")"
cmp "$work/erstes.wav" "$own/Sound008 aus demo.pak.wav" && cmp "$work/zweites.wav" "$work/erstes.wav" ||
    fail "the saved entry differs from entry 8"

# Save all onto a folder that holds one of the names already: asked, replaced for all.
mkdir "$work/alle"
echo fremd >"$work/alle/Sound003 aus demo.pak.wav"
until_ "a window stays over the main one after the second Save" active_is "demo.pak - Chunk Picker"
choose ctrl+shift+s "Zielverzeichnis" "$(winpath "$work/alle")"
until_ "no question before replacing" active_is "Datei ersetzen"
xwd -id "$(xdotool getactivewindow)" -silent >"$artifacts/windows-replace.xwd"
xdotool key alt+a
all_saved() { for f in "$own"/Sound*; do cmp -s "$f" "$work/alle/${f##*/}" || return 1; done; }
until_ "Save all did not write the 9 entries as they are" all_saved
until_ "a window stays over the main one after Save all" active_is "demo.pak - Chunk Picker"
xwd -id "$wid" -silent >"$artifacts/windows-main.xwd"

wmctrl -i -c "$wid"
until_ "the program did not end on a close" ended
wait "$app" || fail "the program ended with status $?"
app=""
has_setting Loop 1 || fail "the loop box was not saved: $(wine reg query "$key" 2>&1)"
[ -n "$(setting WindowPosX)" ] && [ -n "$(setting WindowPosY)" ] || fail "the position was not saved"
until_ "entry files left in the temporary folder" test "$(entries)" -eq 0
echo "windows window end-to-end: passed"
