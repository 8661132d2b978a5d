#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The batch run of this build against the batch run of another (say the
# previous commit, built in a worktree), alternating in one command so that
# both see the same machine, with cp -r of the same entry files and the
# floor's parts beside them: a copy of the source's bytes on two cores, and
# creating as many empty files as there are entries. Each figure is the
# median of ROUNDS runs, with its minimum and maximum; ratios are of medians.
# Every run writes into a fresh folder and all of it is flushed before the
# clock stops, as the batch flushes before its exit.
# Usage: bench/compare_builds.sh NEW_CHUNKPICKER OLD_CHUNKPICKER WORKDIR [ROUNDS [ENTRIES [ENTRY_BYTES]]]
set -euo pipefail
new="$1" old="$2" work="$3" rounds="${4:-7}" entries="${5:-10000}" entry_bytes="${6:-100000}"
mkdir -p "$work"
work="$(cd "$work" && pwd)"
trap 'rm -rf "$work"/run-* "$work"/desktop-* "$work"/entries "$work"/entry "$work"/block' EXIT
export DISPLAY= WAYLAND_DISPLAY= QT_QPA_PLATFORM=

# The archive: ENTRIES entries of ENTRY_BYTES each, a tag and bytes that hold none.
source="$work/archive.pak"
if [ ! -f "$source" ] || [ "$(stat -c %s "$source")" -ne $((entries * entry_bytes)) ]; then
    { printf RIFF; head -c $((entry_bytes - 4)) < <(yes 'abcdefghijklmnopqrstuvwxyz'); } >"$work/entry"
    for _ in $(seq 100); do cat "$work/entry"; done >"$work/block"
    : >"$source"
    for _ in $(seq $((entries / 100))); do cat "$work/block"; done >>"$source"
    for _ in $(seq $((entries % 100))); do cat "$work/entry"; done >>"$source"
fi
cat "$source" >/dev/null # into the page cache, for every run alike
rm -rf "$work/entries"
mkdir "$work/entries"
"$new" "$source" "$work/entries" >/dev/null # what cp -r copies

now() { date +%s.%N; }
declare -A times
# time NAME COMMAND...: runs COMMAND, flushes, and adds the seconds to NAME's list.
time_run() {
    local name="$1" start
    shift
    sync -f "$work"
    start=$(now)
    "$@" >/dev/null
    sync -f "$work"
    times[$name]+="$(awk -v a="$(now)" -v b="$start" 'BEGIN { printf "%.4f", a - b }') "
    # Every run writes into the memory the one before it freed: on a virtual
    # machine, memory the host has not yet given costs many times more.
    rm -rf "$work"/run-*
}
# Each build registers itself with a desktop of its own, so that neither
# rewrites the other's desktop entry at every start.
batch() {
    local desktop="$work/desktop-$2"
    mkdir -p "$desktop"
    XDG_DATA_HOME="$desktop/data" XDG_CONFIG_HOME="$desktop/config" "$1" "$source" "$(mktemp -d "$work/run-XXXX")"
}
copy_tree() { cp -r "$work/entries" "$(mktemp -u "$work/run-XXXX")"; }
# The source's bytes copied as two halves side by side, one a core, each into
# a file of its own (two writers of one file take turns at its lock).
copy_bytes() {
    local folder half=$((entries * entry_bytes / 2 / 1048576 + 1))
    folder="$(mktemp -d "$work/run-XXXX")"
    dd if="$source" of="$folder/first" bs=1M count="$half" status=none &
    dd if="$source" of="$folder/second" bs=1M skip="$half" status=none
    wait
}
empty_files() {
    local folder
    folder="$(mktemp -d "$work/run-XXXX")"
    (cd "$folder" && seq -f 'e%.0f' "$entries" | xargs touch)
}
batch "$new" new >/dev/null # each desktop registered once, before the clock runs
batch "$old" old >/dev/null
rm -rf "$work"/run-*
for round in $(seq "$rounds"); do
    # Alternating which build goes first, so neither always meets the other's write-back.
    if ((round % 2)); then
        time_run new batch "$new" new
        time_run old batch "$old" old
    else
        time_run old batch "$old" old
        time_run new batch "$new" new
    fi
    time_run cp_r copy_tree
    time_run bytes copy_bytes
    time_run files empty_files
done

# median, min and max of a list of seconds
stats() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{v[NR]=$1} END {printf "%.3f %.3f %.3f", v[int((NR+1)/2)], v[1], v[NR]}'; }
read -r new_med new_min new_max <<<"$(stats "${times[new]}")"
read -r old_med old_min old_max <<<"$(stats "${times[old]}")"
read -r cpr_med cpr_min cpr_max <<<"$(stats "${times[cp_r]}")"
read -r bytes_med bytes_min bytes_max <<<"$(stats "${times[bytes]}")"
read -r files_med files_min files_max <<<"$(stats "${times[files]}")"
floor=$(awk -v a="$bytes_med" -v b="$files_med" 'BEGIN { printf "%.3f", a + b }')
fs=$(stat -f -c %T "$work")
printf 'on %s, %d entries of %d bytes, median of %d (min, max) in s:\n' "$fs" "$entries" "$entry_bytes" "$rounds"
printf '  batch, this build   %s (%s, %s)\n' "$new_med" "$new_min" "$new_max"
printf '  batch, other build  %s (%s, %s)\n' "$old_med" "$old_min" "$old_max"
printf '  cp -r               %s (%s, %s)\n' "$cpr_med" "$cpr_min" "$cpr_max"
printf '  floor: bytes on two cores %s (%s, %s) + empty files %s (%s, %s) = %s\n' \
    "$bytes_med" "$bytes_min" "$bytes_max" "$files_med" "$files_min" "$files_max" "$floor"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
printf 'this / other build: %s (min %s, max %s)\n' "$(ratio "$new_med" "$old_med")" "$(ratio "$new_min" "$old_max")" \
    "$(ratio "$new_max" "$old_min")"
printf 'this / cp -r: %s   this / floor: %s   other / floor: %s\n' "$(ratio "$new_med" "$cpr_med")" \
    "$(ratio "$new_med" "$floor")" "$(ratio "$old_med" "$floor")"
