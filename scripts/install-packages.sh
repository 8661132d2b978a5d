#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs those of the named Debian packages that are missing (as root, or
# through sudo). Usage: scripts/install-packages.sh PACKAGE...
# Another install holding the package system's lock (an unattended upgrade,
# a second terminal) is waited for, up to ten minutes, rather than failed on.
set -euo pipefail
missing=()
for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
((${#missing[@]})) || exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# apt-get waits for dpkg's lock by itself (DPkg::Lock::Timeout); the lock of
# the package lists it does not, so a refusal for that lock is tried again.
apt_get() {
    local waited=0 output
    until output=$($sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 "$@" 2>&1); do
        if ((waited >= 600)) || ! grep -q -i 'lock' <<<"$output"; then
            printf '%s\n' "$output" >&2
            return 1
        fi
        ((waited % 60 == 0)) && echo "Waiting for another install to release the package lock ..." >&2
        sleep 5
        waited=$((waited + 5))
    done
}
echo "Installing: ${missing[*]}"
apt_get update -qq
apt_get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
