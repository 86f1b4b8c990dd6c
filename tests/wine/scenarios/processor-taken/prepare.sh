#!/usr/bin/env bash
set -euo pipefail
SIDE="$1" DRIVE="$2" HOST="$3" WIN="$4"
# shellcheck source=../../common/prepare-lib.sh
source "$(dirname "$0")/../../common/prepare-lib.sh"
mkdir -p "$system32/spool/prtprocs/w32x86"
echo "print processor" >"$system32/spool/prtprocs/w32x86/WINPRINT.DLL"
