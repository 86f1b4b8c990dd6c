#!/usr/bin/env bash
set -euo pipefail
SIDE="$1" DRIVE="$2" HOST="$3" WIN="$4"
# shellcheck source=../../common/prepare-lib.sh
source "$(dirname "$0")/../../common/prepare-lib.sh"
pkg="$DRIVE/Drivers" acme="$windows/Acme"
for name in NONE READ RDEL ALL IMAGE; do
    dated "$pkg/$name.DLL" 2024-01-02 "the new $name"
    dated "$acme/$name.DLL" 2001-01-01 "the old $name"
done
# A library the holder can load (a real one for the side's processor under Wine).
cp "$WIN/tests/wine/port_monitor.dll" "$acme/IMAGE.DLL" && touch -d 2001-01-01 "$acme/IMAGE.DLL"
