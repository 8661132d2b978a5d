#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives the real program in a real X server (run under xvfb-run): opens the
# demo archive, steps and plays through the toolbar with xdotool, saves, closes
# the window, then checks the settings file and that the entry files are gone;
# then ends a second start with SIGTERM, and a third from the title bar, while it asks before replacing a file.
# Each step waits for what it brings about (a window, a file, a changed
# picture of the window), so a busy machine only makes it slower.
# Usage: window_e2e.sh CHUNKPICKER MAKE_DEMO ARTIFACT_DIR
set -euo pipefail
bin="$1" make_demo="$2" artifacts="$3"

source "$(dirname "$0")/e2e_common.sh"

export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" TMPDIR="$work/tmp"
export XDG_RUNTIME_DIR="$work/run" LANG=de_DE.UTF-8 LC_ALL= SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
mkdir -p -m 700 "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$TMPDIR" "$XDG_RUNTIME_DIR" "$artifacts"
conf="$XDG_CONFIG_HOME/Oxbrook/Chunkpicker.conf"

"$make_demo" "$work/demo.pak" >/dev/null

# A window manager, so that dialogs get the focus and windows can be closed the way a user does.
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
until_ "no window manager" wmctrl -m >/dev/null 2>&1
xdotool mousemove 0 0

own="$TMPDIR/chunkpicker-$(id -u)" # the window's private folder in the temporary one
entries() { find "$own" -maxdepth 1 -name 'Sound* aus demo.pak.wav' 2>/dev/null | wc -l; }
nine_entries() { [ "$(entries)" -eq 9 ]; }
ended() { ! kill -0 "$app" 2>/dev/null; }
differs() { [ "$(shot)" != "$1" ]; }
px() { echo $((($1 * WIDTH + 3232) / 6465)); } # twips to pixels: the window is 6465 twips wide
# Toolbar button n: 345 twips wide from x = 1; 3 is the separator, 6 px in this style.
button() { echo "$((1 + ($1 > 3 ? 6 : 0) + $(px $((($1 < 3 ? $1 - 1 : $1 - 2) * 345 + 172))))) $((1 + $(px 165)))"; }
saveall=2 previous=4 play=5 save=7 next=8
press() { xdotool mousemove --window "$wid" $1 click 1 mousemove 0 0; } # then off the window
# A click whose effect shows in the window: waits until it did and is still.
click() { until_ "the window keeps changing" still; local before="$look"; press "$1"; until_ "no effect of the click at $1" still "$before"; }
dialog_up() { local active; active="$(xdotool getactivewindow 2>/dev/null)" && [ "$active" != "$wid" ]; }
no_dialog() { ! dialog_up; }
# Clicks the button, types the path into the dialog it opens and confirms.
choose() {
    press "$(button "$1")"
    until_ "no dialog after button $1" dialog_up
    [ "$(xdotool getactivewindow getwindowname)" != "Chunk Picker" ] || fail "the notice came back after it was ticked"
    xdotool type --delay 5 "$2"
    xdotool key Return
}
start() { # the program on the demo; waits for its window and its 9 entries, the scan over
    "$bin" "$work/demo.pak" &
    app=$!
    wid="$(find_window --name '^demo\.pak - Chunk Picker$' || true)"
    [ -n "$wid" ] || fail "no window titled 'demo.pak - Chunk Picker'"
    until_ "expected 9 entry files in the temporary folder" nine_entries
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    click "$(button $next)"
}

start
# From entry 1 back twice: the wrap to entry 9, then entry 8, the long note.
click "$(button $previous)"
click "$(button $previous)"
until_ "the window keeps changing" still
press "$(button $play)"
until_ "Play changed nothing" differs "$look"
xwd -id "$wid" -silent >"$artifacts/playing.xwd" # to look at
playing="$(shot)"
press "$(($(px 1650) + 7)) $(px 1912)" # the loop box: ticked, and the sound ends
until_ "the loop box changed nothing" still "$playing"

# Save entry 8 under a typed name and switch the notice off; a second Save shows none.
choose $save "$work/erstes.wav"
notice="$(find_window --onlyvisible --name '^Chunk Picker$' || true)"
[ -n "$notice" ] || fail "no notice after Save"
until_ "the notice did not get the focus" dialog_up
xdotool key space Return
until_ "the tick in the notice was not kept" grep -q '^FileSavedMsg=Wahr$' "$conf"
until_ "the notice stays" no_dialog
choose $save "$work/zweites.wav"
until_ "the second Save wrote no zweites.wav" test -e "$work/zweites.wav"
cmp "$work/erstes.wav" "$own/Sound008 aus demo.pak.wav" && cmp "$work/zweites.wav" "$work/erstes.wav" \
    || fail "the saved entry differs from entry 8"
mkdir "$work/alle"
until_ "a window stays over the main one after the second Save" no_dialog
choose $saveall "$work/alle"
all_saved() { [ "$(find "$work/alle" -name 'Sound*' | wc -l)" -eq 9 ]; }
until_ "Save all wrote fewer than 9 files" all_saved
[ "$(stat -c %a "$own")" = 700 ] || fail "others may enter the window's folder"
for f in "$own"/Sound*; do cmp "$f" "$work/alle/${f##*/}" || fail "Save all: ${f##*/} missing or different"; done
until_ "a window stays over the main one after Save all" no_dialog
xdotool windowmove "$wid" 40 60
moved() { [ "$(xdotool getwindowgeometry --shell "$wid" | grep '^X=')" != "X=$X" ]; }
until_ "the window did not move" moved
wmctrl -i -c "$wid"
until_ "the program did not end on a close" ended
wait "$app" || fail "the program ended with status $?"
app=""
grep -q '^Loop=1$' "$conf" && grep -q '^FileSavedMsg=Wahr$' "$conf" || fail "not saved: $(cat "$conf")"
grep -q '^WindowPosX=[0-9]' "$conf" && grep -q '^WindowPosY=[0-9]' "$conf" || fail "the position was not saved"
[ "$(entries)" -eq 0 ] || fail "entry files left in the temporary folder"

# SIGTERM, or the title bar's close, while the program asks before replacing a file: the question goes as on
# its cancel, the window ends as on a close.
for way in SIGTERM close; do
    rm "$conf"
    start
    choose $save "$work/erstes.wav"
    find_window --onlyvisible --name '^Datei ersetzen$' >/dev/null || fail "no question before replacing"
    if [ $way = SIGTERM ]; then kill -TERM "$app"; else wmctrl -i -c "$wid"; fi
    until_ "the program did not end on $way while it asked" ended
    wait "$app" || fail "after $way the program ended with status $?"
    app=""
    [ "$(entries)" -eq 0 ] || fail "entry files left after $way"
    grep -q '^WindowPosX=' "$conf" || fail "settings not written after $way"
    cmp "$work/erstes.wav" "$work/zweites.wav" || fail "$way replaced the file"
done

# An invalid command line: one box, with the program's icon.
"$bin" "$work/nirgends.ffl" "$work/nirgends" &
app=$!
box="$(find_window --name '^Chunk Picker$' || true)"
xprop -id "$box" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "the message box lacks the program's icon"
wmctrl -i -c "$box"
status=0 && wait "$app" || status=$?
[ "$status" -eq 2 ] || fail "an invalid command line ended with status $status, not 2"
app=""
echo "window end-to-end: passed"
