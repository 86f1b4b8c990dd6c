#!/usr/bin/env bash
set -euo pipefail
SIDE="$1" DRIVE="$2" HOST="$3" WIN="$4"
# shellcheck source=../../common/prepare-lib.sh
source "$(dirname "$0")/../../common/prepare-lib.sh"
for name in RO READ NONE ALL; do printf '[Section]\r\nKey=old\r\n' >"$DRIVE/Drivers/$name.INI"; done
chmod a-w "$DRIVE/Drivers/RO.INI"
