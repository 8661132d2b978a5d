# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the package scripts: each step has its own time bound and is
# named when it starts, fails or runs over, so a stall says where it is.
# Set step_label first; progress goes to fd 3, also from steps whose output
# is captured.
exec 3>&1
fail() { echo "FAIL: $*" >&2; exit 1; }
# step NAME SECONDS COMMAND...: runs COMMAND within SECONDS.
step() {
    local name="$1" limit="$2" start=$SECONDS status=0
    shift 2
    echo "[$step_label] $name (at most ${limit} s) ..." >&3
    timeout --kill-after=5 "$limit" "$@" || status=$?
    ((status != 124 && status != 137)) || fail "step '$name' ran over ${limit} s"
    ((status == 0)) || fail "step '$name' failed with status $status"
    echo "[$step_label] $name: done in $((SECONDS - start)) s" >&3
}
