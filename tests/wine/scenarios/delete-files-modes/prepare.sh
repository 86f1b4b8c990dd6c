#!/usr/bin/env bash
set -euo pipefail
SIDE="$1" DRIVE="$2" HOST="$3" WIN="$4"
# shellcheck source=../../common/prepare-lib.sh
source "$(dirname "$0")/../../common/prepare-lib.sh"
old="$DRIVE/Drivers/Old"
mkdir -p "$old/Empty" "$old/Full" "$old/NoSlash"
for name in M0 M1 M2 RO SEVEN TEXT; do echo "$name" >"$old/$name.DLL"; done
chmod a-w "$old/RO.DLL"
echo kept >"$old/Full/KEEP.TXT"
echo kept >"$old/NoSlash/KEEP.TXT"
