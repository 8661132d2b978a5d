#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A display that answers the program's own check but not Qt's connection
# after it: a batch run goes on headless, a window start says so.
# Usage (under xvfb-run): display_lost.sh CHUNKPICKER MAKE_DEMO PRELOAD
set -euo pipefail
bin="$1" make_demo="$2" preload="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" TMPDIR="$work"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# A sanitized build wants its runtime first; the preloaded library comes before it.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
"$make_demo" "$work/demo.pak" >/dev/null
mkdir "$work/out"

status=0
LD_PRELOAD="$preload" "$bin" "$work/demo.pak" "$work/out" >"$work/stdout" 2>"$work/stderr" || status=$?
[ "$status" -eq 0 ] || fail "the batch run ended with status $status: $(cat "$work/stderr")"
[ "$(ls "$work/out" | wc -l)" -eq 9 ] || fail "the batch run wrote $(ls "$work/out" | wc -l) entries, not 9"
grep -q 'Einträge' "$work/stdout" || fail "no summary: $(cat "$work/stdout")"
# Qt's complaint about the display it lost is no concern of a batch run.
[ ! -s "$work/stderr" ] || fail "the batch run printed: $(cat "$work/stderr")"

status=0
LD_PRELOAD="$preload" "$bin" "$work/demo.pak" >"$work/stdout" 2>"$work/stderr" || status=$?
[ "$status" -eq 3 ] || fail "a window start ended with status $status, not 3"
[ "$(cat "$work/stderr")" = "Chunk Picker: Die Anzeige ist nicht erreichbar (DISPLAY=$DISPLAY)." ] ||
    fail "not our message alone: $(cat "$work/stderr")"
echo "display lost after the check: passed"
