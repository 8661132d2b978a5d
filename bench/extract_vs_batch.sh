#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# chunkpicker-extract --originals against the plain batch run of the same
# build on the same archive, alternating in one command: a tar of FILES wave
# files of varied sizes (each padded by tar to whole blocks, so every entry
# is trimmed and named from its member header). Each figure is the median of
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
archive="$work/sounds-$files.tar"
if [ ! -f "$archive" ]; then
    mkdir -p "$work/waves"
    head -c 200000 < <(yes 'abcdefghijklmnopqrstuvwxyz') >"$work/samples"
    for i in $(seq "$files"); do
        data=$((1000 + (i * 7919) % 60000))
        { printf RIFF; le32 $((36 + data)); printf 'WAVEfmt '; le32 16
          printf '\x01\x00\x01\x00\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00data'; le32 "$data"
          head -c "$data" "$work/samples"; } >"$work/waves/sound$i.wav"
    done
    tar -cf "$archive" -C "$work/waves" .
    rm -rf "$work/waves" "$work/samples"
fi
cat "$archive" >/dev/null # into the page cache, for every run alike

now() { date +%s.%N; }
declare -A times
time_run() {
    local name="$1" start
    shift
    mkdir "$work/run-$name"
    sync -f "$work"
    start=$(now)
    "$@" "$archive" "$work/run-$name" >/dev/null
    sync -f "$work"
    times[$name]+="$(awk -v a="$(now)" -v b="$start" 'BEGIN { printf "%.4f", a - b }') "
    rm -rf "$work"/run-*
}
for _ in $(seq "$rounds"); do
    time_run batch "$build/chunkpicker"
    time_run originals "$build/chunkpicker-extract" --originals
done
median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{ v[NR] = $1 } END { printf "%.3f (%.3f, %.3f)", v[int((NR + 1) / 2)], v[1], v[NR] }'; }
echo "$(stat -c %s "$archive") bytes, $files waves in a tar, median of $rounds (min, max) in s:"
echo "  batch                 $(median "${times[batch]}")"
echo "  extract --originals   $(median "${times[originals]}")"
awk -v a="$(median "${times[originals]}" | cut -d' ' -f1)" -v b="$(median "${times[batch]}" | cut -d' ' -f1)" \
    'BEGIN { printf "extract --originals / batch: %.3f\n", a / b }'
