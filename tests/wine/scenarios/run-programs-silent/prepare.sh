#!/usr/bin/env bash
set -euo pipefail
SIDE="$1" DRIVE="$2" HOST="$3" WIN="$4"
# shellcheck source=../../common/prepare-lib.sh
source "$(dirname "$0")/../../common/prepare-lib.sh"
pkg="$DRIVE/Drivers"
put_stand_in Drivers/Tools EXIT3.EXE
put_stand_in Drivers/Tools EXIT0.EXE
put_stand_in Drivers/Tools EXIT4.EXE
put_stand_in Drivers UNPACK.EXE
printf '@echo off\r\nrem nothing to do\r\n' >"$pkg/SETUP.BAT"
