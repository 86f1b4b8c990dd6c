#!/usr/bin/env bash
set -euo pipefail
SIDE="$1" DRIVE="$2" HOST="$3" WIN="$4"
# shellcheck source=../../common/prepare-lib.sh
source "$(dirname "$0")/../../common/prepare-lib.sh"
pkg="$DRIVE/Drivers"
work="$(mktemp -d)"
mkdir -p "$work/Install/x86"
cp "$substitutes/Engine.dll" "$work/Install/x86/Engine.dll"
dated "$work/ErrorCode.txt" 2020-01-01 7
zip_tree "$pkg/UNST.ZIP" "$work" Install ErrorCode.txt
rm -rf "$work" && work="$(mktemp -d)"
dated "$work/README.TXT" 2020-01-01 "no engine here"
zip_tree "$pkg/NOENGINE.ZIP" "$work" README.TXT
rm -rf "$work"
cp "$substitutes/ZUVERU.dll" "$system32/ZUVERU.DLL"
dated "$pkg/TOOL.DLL" 2020-01-01 "a tool"
