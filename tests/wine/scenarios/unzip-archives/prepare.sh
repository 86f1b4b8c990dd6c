#!/usr/bin/env bash
set -euo pipefail
SIDE="$1" DRIVE="$2" HOST="$3" WIN="$4"
# shellcheck source=../../common/prepare-lib.sh
source "$(dirname "$0")/../../common/prepare-lib.sh"
pkg="$DRIVE/Drivers"
work="$(mktemp -d)"
mkdir -p "$work/tree/docs/en" "$work/tree/bin"
dated "$work/tree/README.TXT" "2003-04-05 06:07:08" "read me"
dated "$work/tree/docs/en/MANUAL.TXT" "2010-11-12 13:14:16" "the manual"
dated "$work/tree/bin/TOOL.DLL" "1999-12-31 23:59:58" "$(printf 'tool %.0s' {1..300})"
zip_tree "$pkg/NESTED.ZIP" "$work/tree" README.TXT docs bin
rm -rf "$work"
mkdir -p "$pkg/Inner" "$DRIVE/Work"
touch -d 2020-01-01 "$pkg/NESTED.ZIP"
zip_tree "$pkg/Inner/INNER.ZIP" "$pkg" NESTED.ZIP
