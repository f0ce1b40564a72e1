#!/usr/bin/env bash
# Checks the board service's systemd unit the way systemd reads it: no key it
# does not know or cannot use, the program it starts, and an exposure of at
# most BOUND by systemd's own security review. Exits 77 (skipped) where
# systemd-analyze is missing.
#
# check_unit.sh UNIT PROGRAM BOUND
set -euo pipefail
unit=$1 program=$2 bound=$3

if ! command -v systemd-analyze >/dev/null; then
  echo "systemd-analyze is missing (Debian's systemd package holds it)"
  exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# verify wants the program where ExecStart= names it: the unit as shipped,
# pointed at the program of this build.
sed "s|^ExecStart=/usr/bin/pravikd\$|ExecStart=$program|" "$unit" >"$scratch/pravikd.service"
if ! grep -qx "ExecStart=$program" "$scratch/pravikd.service"; then
  echo "the unit does not start /usr/bin/pravikd" >&2
  exit 1
fi
# It warns of an unknown key or a wrong value and still exits with 0.
said=$(systemd-analyze verify --man=no "$scratch/pravikd.service" 2>&1) || true
if [ -n "$said" ]; then
  echo "systemd-analyze verify: $said" >&2
  exit 1
fi

review=$(systemd-analyze security --offline=true "$unit" 2>&1)
exposure=$(sed -n 's/.*Overall exposure level for pravikd\.service: \([0-9.]*\).*/\1/p' <<<"$review")
if [ -z "$exposure" ]; then
  echo "no exposure level in: $review" >&2
  exit 1
fi
echo "exposure $exposure (at most $bound)"
awk -v e="$exposure" -v b="$bound" 'BEGIN { exit !(e <= b) }' || {
  grep '✗' <<<"$review" >&2
  exit 1
}

# What the service needs of systemd, which no review asks for: readiness and
# the watchdog, its own user with the serial devices, its folders.
for line in Type=notify WatchdogSec=30 'ExecReload=/bin/kill -HUP $MAINPID' User=pravik \
  Group=pravik SupplementaryGroups=dialout StateDirectory=pravik CacheDirectory=pravik \
  ConfigurationDirectory=pravik 'DeviceAllow=char-ttyUSB rw' 'DeviceAllow=char-ttyACM rw' \
  'DeviceAllow=char-ttyS rw' Restart=on-failure RestartPreventExitStatus=2; do
  if ! grep -qxF "$line" "$unit"; then
    echo "the unit lacks $line" >&2
    exit 1
  fi
done
if grep -q '^PrivateUsers=yes' "$unit"; then
  echo "PrivateUsers=yes would leave the dialout group unmapped" >&2
  exit 1
fi
