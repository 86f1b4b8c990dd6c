#!/usr/bin/env bash
set -euo pipefail
SIDE="$1" DRIVE="$2" HOST="$3" WIN="$4"
# shellcheck source=../../common/prepare-lib.sh
source "$(dirname "$0")/../../common/prepare-lib.sh"
pkg="$DRIVE/Drivers" acme="$windows/Acme"
mkdir -p "$acme"
: >"$pkg/EMPTY.DLL"
szdd "$pkg/FULL.DL_" "$(printf 'driver data %.0s' {1..400})"
head -c 200 "$pkg/FULL.DL_" >"$pkg/CUT.DL_"
# SZDD with a compression mode the format does not have.
{ head -c 8 "$pkg/FULL.DL_"; printf 'B'; tail -c +10 "$pkg/FULL.DL_"; } >"$pkg/ODD.DL_"
rm "$pkg/FULL.DL_"
dated "$acme/OLDCUT.DLL" 2001-01-01 "installed before"
touch -d 2024-01-02 "$pkg/CUT.DL_"
