#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# chunkpicker-extract --originals against the plain batch run of the same
# build on the same archives, alternating in one command: a tar of FILES wave
# files of varied sizes (each padded by tar to whole blocks, so every entry
# is trimmed and named from its member header), and the same waves back to
# back with 100 bytes between them, as a game's archive without member
# headers holds them (trimmed by their RIFF headers). Each figure is the median of
# ROUNDS runs, with its minimum and maximum; every run writes into a fresh
# folder, flushed before the clock stops, as both programs flush before exit.
# Usage: bench/extract_vs_batch.sh BUILD_DIR WORKDIR [ROUNDS [FILES]]
set -euo pipefail
build="$(cd "$1" && pwd)" work="$2" rounds="${3:-7}" files="${4:-10000}"
mkdir -p "$work"
work="$(cd "$work" && pwd)"
trap 'rm -rf "$work"/run-* "$work"/waves "$work"/xdg' EXIT
export DISPLAY= WAYLAND_DISPLAY= QT_QPA_PLATFORM= XDG_DATA_HOME="$work/xdg"

le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 24 & 255)))"; }
archive="$work/sounds-$files.tar" packed="$work/sounds-$files.pak"
if [ ! -f "$archive" ] || [ ! -f "$packed" ]; then
    mkdir -p "$work/waves"
    head -c 200000 < <(yes 'abcdefghijklmnopqrstuvwxyz') >"$work/samples"
    for i in $(seq "$files"); do
        data=$((1000 + (i * 7919) % 60000))
        { printf RIFF; le32 $((36 + data)); printf 'WAVEfmt '; le32 16
          printf '\x01\x00\x01\x00\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00data'; le32 "$data"
          head -c "$data" "$work/samples"; } >"$work/waves/sound$i.wav"
    done
    tar -cf "$archive" -C "$work/waves" .
    head -c 100 < <(yes 'between') >"$work/between"
    for i in $(seq "$files"); do cat "$work/waves/sound$i.wav" "$work/between"; done >"$packed"
    rm -rf "$work/waves" "$work/samples" "$work/between"
fi
cat "$archive" "$packed" >/dev/null # into the page cache, for every run alike

now() { date +%s.%N; }
declare -A times
time_run() { # NAME SOURCE COMMAND...
    local name="$1" source="$2" start
    shift 2
    mkdir "$work/run-$name"
    sync -f "$work"
    start=$(now)
    "$@" "$source" "$work/run-$name" >/dev/null
    sync -f "$work"
    times[$name]+="$(awk -v a="$(now)" -v b="$start" 'BEGIN { printf "%.4f", a - b }') "
    rm -rf "$work"/run-*
}
for _ in $(seq "$rounds"); do
    time_run batch "$archive" "$build/chunkpicker"
    time_run originals "$archive" "$build/chunkpicker-extract" --originals
    time_run batch-pak "$packed" "$build/chunkpicker"
    time_run originals-pak "$packed" "$build/chunkpicker-extract" --originals
done
median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{ v[NR] = $1 } END { printf "%.3f (%.3f, %.3f)", v[int((NR + 1) / 2)], v[1], v[NR] }'; }
ratio() { awk -v a="$(median "$1" | cut -d' ' -f1)" -v b="$(median "$2" | cut -d' ' -f1)" 'BEGIN { printf "%.3f", a / b }'; }
echo "$files waves, median of $rounds (min, max) in s:"
echo "  in a tar ($(stat -c %s "$archive") bytes):"
echo "    batch                 $(median "${times[batch]}")"
echo "    extract --originals   $(median "${times[originals]}")"
echo "  back to back ($(stat -c %s "$packed") bytes):"
echo "    batch                 $(median "${times[batch-pak]}")"
echo "    extract --originals   $(median "${times[originals-pak]}")"
echo "extract --originals / batch: tar $(ratio "${times[originals]}" "${times[batch]}"), back to back $(ratio "${times[originals-pak]}" "${times[batch-pak]}")"
