#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Each manual page formats without a warning from groff, the way lintian runs
# man, has a whatis entry, and carries the project's version.
# Usage: man_test.sh VERSION PAGE.gz...
set -euo pipefail
version="$1"
shift
for page in "$@"; do
    warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        timeout 30 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)" || warnings+=" (man failed)"
    [ -z "$warnings" ] || { echo "FAIL: $page: $warnings" >&2; exit 1; }
    timeout 30 lexgrog "$page" >/dev/null || { echo "FAIL: $page: no whatis entry" >&2; exit 1; }
    zcat "$page" | grep -q "^\.TH .* \"Chunk Picker $version\"" || { echo "FAIL: $page: not version $version" >&2; exit 1; }
done
echo "manual pages: $# without warnings"
