#!/usr/bin/env bash
set -euo pipefail
SIDE="$1" DRIVE="$2" HOST="$3" WIN="$4"
# shellcheck source=../../common/prepare-lib.sh
source "$(dirname "$0")/../../common/prepare-lib.sh"
pkg="$DRIVE/Drivers" acme="$windows/Acme"
dated "$pkg/RO.DLL" 2024-01-02 "the new file"
dated "$acme/RO.DLL" 2001-01-01 "the old read-only file"
chmod a-w "$acme/RO.DLL"
dated "$pkg/FROMRO.DLL" 2024-01-02 "a read-only source"
chmod a-w "$pkg/FROMRO.DLL"
