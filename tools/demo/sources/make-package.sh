#!/usr/bin/env bash
# Makes the files of the demo package that are built from sources/: the resource library
# compressed (DEMORES.DL_), the documentation archive (DEMODOCS.ZIP) and the uninstaller
# archive (UNST.ZIP) with a stand-in for its install engine, which `winsim try` and the demo
# replace by the substitute library. The results are kept in package/; run this after changing
# a source. Member and file times are fixed, so the output is the same every time.
#   tools/demo/sources/make-package.sh
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
package="$here/../package"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cp "$here/DEMORES.DLL" "$work/DEMORES.DL"
touch -d 2020-01-01 "$work/DEMORES.DL"
(cd "$work" && mscompress DEMORES.DL >/dev/null && mv DEMORES.DL_ "$package/DEMORES.DL_")

mkdir -p "$work/docs"
cp "$here/docs/MANUAL.TXT" "$here/docs/REGISTER.EXE" "$work/docs/"
touch -d 2020-01-01 "$work/docs/MANUAL.TXT" "$work/docs/REGISTER.EXE"
rm -f "$package/DEMODOCS.ZIP"
(cd "$work/docs" && zip -q -X "$package/DEMODOCS.ZIP" MANUAL.TXT REGISTER.EXE)

mkdir -p "$work/unst/Install/x86"
echo "Stands in for the install engine; winsim try puts the substitute library here." \
  >"$work/unst/Install/x86/Engine.dll"
find "$work/unst" -exec touch -d 2020-01-01 {} +
rm -f "$package/UNST.ZIP"
(cd "$work/unst" && zip -q -r -X "$package/UNST.ZIP" Install)
