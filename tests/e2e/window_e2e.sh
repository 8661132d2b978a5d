#!/usr/bin/env bash
# Drives the real program in a real X server (run under xvfb-run): opens the
# demo archive, steps and plays through the toolbar with xdotool, closes the
# window, then checks the settings file and that the entry files are gone.
# Usage: window_e2e.sh CHUNKPICKER MAKE_DEMO ARTIFACT_DIR
set -euo pipefail
bin="$1" make_demo="$2" artifacts="$3"

work="$(mktemp -d)"
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
    [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" TMPDIR="$work/tmp"
export XDG_RUNTIME_DIR="$work/run" LANG=de_DE.UTF-8 LC_ALL= SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
mkdir -p -m 700 "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$TMPDIR" "$XDG_RUNTIME_DIR" "$artifacts"

"$make_demo" "$work/demo.pak" >/dev/null

# A window manager, so that the window can be closed the way a user does.
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
for _ in $(seq 50); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done

"$bin" "$work/demo.pak" &
app=$!
wid="$(timeout 20 xdotool search --sync --name '^demo\.pak - Chunk Picker$' | head -1)"
[ -n "$wid" ] || fail "no window titled 'demo.pak - Chunk Picker'"

entries() { find "$TMPDIR" -maxdepth 1 -name 'Sound* aus demo.pak.wav' | wc -l; }
for _ in $(seq 100); do [ "$(entries)" -eq 9 ] && break; sleep 0.1; done
[ "$(entries)" -eq 9 ] || fail "expected 9 entry files in the temporary folder, found $(entries)"

# Toolbar buttons (23 px wide from x = 1, the separator after the second) and the loop box.
click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; sleep 0.5; }
next=(156 11) previous=(64 11) play=(87 11) loop=(117 128)

sleep 0.5
click "${next[@]}"

# From entry 1 back twice: the wrap to entry 9, then entry 8, the long note.
click "${previous[@]}"
click "${previous[@]}"
click "${play[@]}"
xwd -id "$wid" -silent >"$artifacts/playing.xwd" # to look at

click "${loop[@]}"

# Save entry 8 under a typed name and switch the notice off; a second Save shows none.
saveas() { click "$1" 11; xdotool type --delay 5 "$2"; xdotool key Return; sleep 0.8; }
saveas 133 "$work/erstes.wav"
timeout 10 xdotool search --sync --onlyvisible --name '^Chunk Picker$' >/dev/null || fail "no notice after Save"
xdotool key space Return
sleep 0.5
saveas 133 "$work/zweites.wav"
! xdotool search --onlyvisible --name '^Chunk Picker$' >/dev/null || fail "the notice came back after it was ticked"
cmp "$work/erstes.wav" "$TMPDIR/Sound008 aus demo.pak.wav" && cmp "$work/zweites.wav" "$work/erstes.wav" \
    || fail "the saved entry differs from entry 8"
mkdir "$work/alle"
saveas 35 "$work/alle"
for f in "$TMPDIR"/Sound*; do cmp "$f" "$work/alle/${f##*/}" || fail "Save all: ${f##*/} missing or different"; done
xdotool windowmove "$wid" 40 60
sleep 0.3
wmctrl -i -c "$wid"
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
wait "$app" || fail "the program ended with status $?"
app=""

conf="$XDG_CONFIG_HOME/Oxbrook/Chunkpicker.conf"
grep -q '^Loop=1$' "$conf" && grep -q '^FileSavedMsg=Wahr$' "$conf" || fail "not saved: $(cat "$conf")"
grep -q '^WindowPosX=[0-9]' "$conf" && grep -q '^WindowPosY=[0-9]' "$conf" || fail "the position was not saved"
[ "$(entries)" -eq 0 ] || fail "entry files left in the temporary folder"

# An invalid command line: one box, with the program's icon.
"$bin" "$work/nirgends.ffl" "$work/nirgends" &
app=$!
box="$(timeout 20 xdotool search --sync --name '^Chunk Picker$' | head -1)"
xprop -id "$box" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "the message box lacks the program's icon"
wmctrl -i -c "$box"
status=0 && wait "$app" || status=$?
[ "$status" -eq 2 ] || fail "an invalid command line ended with status $status, not 2"
app=""
echo "window end-to-end: passed"
