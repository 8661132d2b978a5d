#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang under ASan/UBSan and runs each for a
# bounded time. Usage: scripts/fuzz.sh [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
CC=clang CXX=clang++ scripts/setup.sh build-fuzz -DCP_FUZZ=ON -DCP_SANITIZE=ON -DCP_BUILD_TESTS=OFF -DCP_BUILD_BENCH=OFF
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for target in build-fuzz/tests/fuzz/fuzz_*; do
    name="$(basename "$target")"
    mkdir -p "$work/$name"
    echo "== $name for ${seconds}s"
    mkdir -p build-fuzz/artifacts
    TMPDIR="$work" "$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
        -artifact_prefix=build-fuzz/artifacts/ "$work/$name" 2>&1 \
        | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)|ERROR|SUMMARY' || true
done
