#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is needed, builds, and runs every test: once in a normal build
# and once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh build -DCP_BUILD_TESTS=ON -DCP_BUILD_BENCH=ON -DCP_PACKAGE_TEST=ON
(cd build && ctest --output-on-failure -j2)
# Once more as a German user's machine runs it: system messages in German too.
(cd build && LANG=de_DE.UTF-8 LC_ALL= LANGUAGE= ctest --output-on-failure -j2)

scripts/setup.sh build-asan -DCP_SANITIZE=ON -DCP_BUILD_BENCH=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j2)

# The package as a user gets it: installed with apt, run, and purged without a trace.
scripts/package-check.sh build

# The Windows part, built here and tested under wine.
scripts/windows.sh
