# SPDX-License-Identifier: GPL-3.0-or-later
# What the end-to-end scripts share: a scratch folder removed at the end with
# the program ($app) and window manager ($wm) started, failing with a reason,
# waiting on a condition with a bound, finding a window, and telling when a
# window's picture has stopped changing. Sourced; $wid is the window watched.

work="$(mktemp -d)"
cleanup() { kill ${app:-} ${wm:-} 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
# Polls the command until it succeeds, for at most 30 s.
until_() { local why="$1" end=$((SECONDS + 30)); shift; until "$@"; do [ $SECONDS -lt $end ] || fail "$why"; sleep 0.1; done; }
# The first window the search finds, asked again for at most 30 s: a search
# that meets a window going away fails with BadWindow, which --sync does not survive.
find_window() {
    local end=$((SECONDS + 30)) id=""
    until id="$(xdotool search "$@" 2>/dev/null | head -1)" && [ -n "$id" ]; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.1
    done
    echo "$id"
}
shot() { xwd -id "$wid" -silent | md5sum; }
# The window's picture ($look) stayed the same for half a second and is not $1.
still() { look="$(shot)"; for _ in 1 2 3 4 5; do sleep 0.1; [ "$(shot)" = "$look" ] || return 1; done; [ "$look" != "${1:-}" ]; }
