#!/usr/bin/env bash
set -euo pipefail
SIDE="$1" DRIVE="$2" HOST="$3" WIN="$4"
# shellcheck source=../../common/prepare-lib.sh
source "$(dirname "$0")/../../common/prepare-lib.sh"
pkg="$DRIVE/Drivers"
python3 - "$pkg" <<'PY'
import sys, zipfile
pkg = sys.argv[1]

def member(name):  # a fixed time, so that both sides make the same archive
    return zipfile.ZipInfo(name, date_time=(2020, 1, 1, 0, 0, 0))

with zipfile.ZipFile(pkg + "/EMPTY.ZIP", "w"):
    pass
with zipfile.ZipFile(pkg + "/ESCAPE.ZIP", "w") as z:
    z.writestr(member("fine.txt"), "stays inside")
    z.writestr(member("../escaped.txt"), "climbs out")
    z.writestr(member("sub/../../escaped2.txt"), "climbs out too")
    z.writestr(member("/rooted.txt"), "absolute")
    z.writestr(member("C:/drive.txt"), "names a drive")
with zipfile.ZipFile(pkg + "/BADCRC.ZIP", "w", zipfile.ZIP_STORED) as z:
    z.writestr(member("good.txt"), "a good member")
    z.writestr(member("bad.txt"), "a member whose data is damaged")
    z.writestr(member("after.txt"), "the member after it")
data = bytearray(open(pkg + "/BADCRC.ZIP", "rb").read())
at = data.find(b"a member whose data")
data[at] ^= 0x20
open(pkg + "/BADCRC.ZIP", "wb").write(data)
open(pkg + "/TEXT.ZIP", "w").write("this is no archive")
PY
