#!/usr/bin/env bash
set -euo pipefail
SIDE="$1" DRIVE="$2" HOST="$3" WIN="$4"
# shellcheck source=../../common/prepare-lib.sh
source "$(dirname "$0")/../../common/prepare-lib.sh"
old="$DRIVE/Drivers/Old"
mkdir -p "$old"
for name in NONE0 NONE1 READ1 RDEL0 ALL0; do echo "$name" >"$old/$name.DLL"; done
cp "$WIN/tests/wine/port_monitor.dll" "$old/IMAGE0.DLL"
cp "$WIN/tests/wine/port_monitor.dll" "$old/IMAGE1.DLL"
