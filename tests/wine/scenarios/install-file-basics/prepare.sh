#!/usr/bin/env bash
set -euo pipefail
SIDE="$1" DRIVE="$2" HOST="$3" WIN="$4"
# shellcheck source=../../common/prepare-lib.sh
source "$(dirname "$0")/../../common/prepare-lib.sh"
pkg="$DRIVE/Drivers" acme="$windows/Acme"
dated "$pkg/NEW.DLL" 2020-05-05 "new driver file"
szdd "$pkg/TOOL.DL_" "a tool library, compressed in the package"
touch -d 2020-05-05 "$pkg/TOOL.DL_"
dated "$pkg/UPD.DLL" 2024-01-02 "the newer update"
dated "$acme/UPD.DLL" 2001-01-01 "the old update"
dated "$pkg/KEEP.DLL" 2001-01-01 "an older file"
dated "$acme/KEEP.DLL" 2024-01-02 "the file to keep"
cp "$pe_fixtures/ver_10_0.dll" "$pkg/VER.DLL" && touch -d 2001-01-01 "$pkg/VER.DLL"
cp "$pe_fixtures/ver_1_0.dll" "$acme/VER.DLL" && touch -d 2024-01-02 "$acme/VER.DLL"
