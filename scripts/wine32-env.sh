#!/usr/bin/env bash
# Runs a command (the parity suite with the i686 build) where 32-bit Wine works, without
# changing how the rest of the machine runs Wine:
# - where the kernel runs 32-bit programs, with Debian's wine32:i386, installed if missing
#   (the 64-bit suite calls the 64-bit loader itself, so that this cannot disturb it);
# - where it does not ("32-bit emulation disabled"), with wine32:i386 and qemu-user unpacked
#   into a directory of their own (nothing is installed), and qemu-i386 registered for 32-bit
#   programs in a private user namespace that has its own binfmt_misc (Linux 6.7 and later).
#   qemu-user 7.2 spends minutes of processor time in its own code (not in translated code) on
#   every Wine process start: a Wine session took 5 to 15 minutes to start with it, while with
#   10.0 a scenario's whole session took 10 to 16 s. So where the release's own qemu-user is
#   older than 10, the one of the release's backports is taken (versions between were not
#   tried).
#   scripts/wine32-env.sh COMMAND [ARG...]
# The directory is $DADAZADO_WINE32_DIR (default: $BUILD_ROOT/wine32, BUILD_ROOT defaulting to
# the repository's build/). COMMAND finds DADAZADO_WINE32_LOADER (the 32-bit loader),
# DADAZADO_WINE32_PREFIX (where the booted prefix is kept) and DADAZADO_WINE32_READY=1.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${DADAZADO_WINE32_DIR:-${BUILD_ROOT:-$repo/build}/wine32}"
die() { echo "wine32-env: $*" >&2; exit 2; }
(($#)) || die "usage: $0 COMMAND [ARG...]"
mkdir -p "$dir"
dir="$(readlink -f "$dir")"

# A 32-bit program that only exits: whether the kernel runs one tells the two ways apart.
kernel_runs_32_bit() {
    local probe="$dir/probe-i386"
    python3 - "$probe" <<'ELF'
import struct, sys
code = bytes([0xB8, 1, 0, 0, 0, 0x31, 0xDB, 0xCD, 0x80])  # exit(0) through int 0x80
base, start = 0x08048000, 52 + 32
header = b"\x7fELF" + bytes([1, 1, 1]) + bytes(9) + struct.pack(
    "<HHIIIIIHHHHHH", 2, 3, 1, base + start, 52, 0, 0, 52, 32, 1, 0, 0, 0)
program = struct.pack("<IIIIIIII", 1, 0, base, base, start + len(code), start + len(code), 5, 0x1000)
with open(sys.argv[1], "wb") as out:
    out.write(header + program + code)
ELF
    chmod +x "$probe"
    "$probe" 2>/dev/null
}

# qemu-user 10 or later into DIR: the release's own, or else its backports' (read through a
# source list of this script's own; the machine's sources are not changed).
download_qemu_user() {
    local debs="$1" codename lists="$dir/apt-backports"
    rm -f "$debs"/qemu-user*.deb
    if ! dpkg --compare-versions "$(apt-cache policy qemu-user | sed -n 's/ *Candidate: //p')" lt 1:10; then
        (cd "$debs" && apt-get download -qq qemu-user) || die "could not download qemu-user"
        return
    fi
    codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
    mkdir -p "$lists/lists/partial"
    echo "deb http://deb.debian.org/debian $codename-backports main" >"$lists/sources.list"
    local -a private=(-o Dir::Etc::sourcelist="$lists/sources.list" -o Dir::Etc::sourceparts=-
        -o Dir::State::Lists="$lists/lists" -o APT::Get::List-Cleanup=0)
    apt-get "${private[@]}" update -qq || die "could not read $codename-backports"
    (cd "$debs" && apt-get "${private[@]}" download -qq qemu-user 2>/dev/null) ||
        die "could not download qemu-user from $codename-backports"
}

export DADAZADO_WINE32_READY=1 DADAZADO_WINE32_PREFIX="$dir/pristine" WINEARCH=win32

if kernel_runs_32_bit; then
    if [[ ! -x /usr/lib/wine/wine ]]; then
        dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine32:i386
    fi
    export DADAZADO_WINE32_LOADER=/usr/lib/wine/wine
    exec "$@"
fi

# The packages and what they need, unpacked side by side; the emulator finds the 32-bit
# libraries there (QEMU_LD_PREFIX), the machine's own are left alone.
root="$dir/root"
qemu="$root/usr/bin/qemu-i386"
if [[ ! -x "$root/usr/lib/wine/wine" || ! -x "$qemu" ]]; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -qq
    mkdir -p "$dir/debs/partial"
    apt-get install -y -qq --download-only --no-install-recommends \
        -o Dir::Cache::archives="$dir/debs" wine32:i386 ||
        die "could not download wine32:i386"
    download_qemu_user "$dir/debs"
    rm -rf "$root" && mkdir -p "$root"
    for deb in "$dir"/debs/*.deb; do dpkg -x "$deb" "$root"; done
fi
[[ -x "$root/usr/lib/wine/wine" ]] || die "no 32-bit Wine loader in $root"
# What libwine's installation script does, and unpacking does not: Wine's user32 needs zlib1.dll
# among its own libraries, marked as one of them.
zlib="$root/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"
if [[ ! -f "$zlib" ]]; then
    mingw_zlib=
    for candidate in "$root/usr/i686-w64-mingw32/lib/zlib1.dll" /usr/i686-w64-mingw32/lib/zlib1.dll; do
        [[ -f "$candidate" ]] && mingw_zlib="$candidate" && break
    done
    [[ -n "$mingw_zlib" ]] || die "no zlib1.dll for i686 (libz-mingw-w64)"
    { head -c 64 "$mingw_zlib" && printf 'Wine builtin DLL' && head -c 16 /dev/zero &&
        tail -c +97 "$mingw_zlib"; } >"$zlib"
fi
export DADAZADO_WINE32_LOADER="$root/usr/lib/wine/wine" QEMU_LD_PREFIX="$root"

# qemu-i386 for every 32-bit x86 program, in this namespace only; F opens the emulator now,
# so that it is found from any mount namespace and chroot.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
exec unshare --user --map-root-user --mount bash -c '
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc || exit 2
    echo ":qemu-i386:M::$1:$2:$3:F" >/proc/sys/fs/binfmt_misc/register || exit 2
    shift 3
    exec "$@"' wine32-env "$magic" "$mask" "$qemu" "$@"
