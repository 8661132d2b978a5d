#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building, running and testing need (Debian 12), then builds.
# Usage: scripts/setup.sh [--run] [BUILD_DIR [extra cmake arguments...]]
# --run: only what building and running the program needs, and only the
# program and the demo maker are built (no tests, benchmarks or fuzzers).
set -euo pipefail
cd "$(dirname "$0")/.."

run_only=false
if [ "${1:-}" = "--run" ]; then
    run_only=true
    shift
fi
packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-svg-dev libqt6svg6 qt6-translations-l10n
    libsdl2-dev libsndfile1-dev libxcb1-dev
)
$run_only || packages+=(
    libgtest-dev libgmock-dev
    xvfb xauth xdotool x11-utils x11-apps openbox wmctrl
    clang libclang-rt-14-dev clang-format
    util-linux locales
    tar cpio zip
    dpkg-dev desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl
    lintian man-db
)
scripts/install-packages.sh "${packages[@]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# The tests run once more as on a German machine, which has this locale.
if ! $run_only && ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    $sudo sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
fi

build="${1:-build}"
shift || true
if $run_only; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCP_BUILD_TESTS=OFF -DCP_BUILD_BENCH=OFF \
        "$@" >/dev/null
    cmake --build "$build" --target chunkpicker chunkpicker-make-demo
else
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$build"
fi
