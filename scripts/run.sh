#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is needed, builds, and runs Chunk Picker on a file (default:
# the demo archive, made on the spot). With a display the window opens on it;
# without one the file is extracted into a folder as a batch run.
# Usage: scripts/run.sh [FILE]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --run build-run
source_file="${1:-}"
if [ -z "$source_file" ]; then
    mkdir -p out
    source_file="$PWD/out/demo.pak"
    build-run/chunkpicker-make-demo "$source_file" >/dev/null
    echo "Demo archive: $source_file"
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build-run/chunkpicker "$source_file"
fi
target="$PWD/out/$(basename "$source_file")-entries"
rm -rf "$target"
mkdir -p "$target"
build-run/chunkpicker "$source_file" "$target"
echo "No display: the entries of $source_file are in $target"
