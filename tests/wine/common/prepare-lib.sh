# Shared by the scenarios' prepare.sh: what differs between the two sides, and ways to make
# the files a package carries. Sourced with SIDE, DRIVE, HOST and WIN set (the arguments of
# prepare.sh: sim|wine DRIVE_C HOST_BUILD WIN64_BUILD).
common="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [[ "$SIDE" == sim ]]; then
    windows="$DRIVE/WINDOWS" substitutes="$HOST/tools" stand_in="$common/stand_in.sh"
else
    windows="$DRIVE/windows" substitutes="$WIN/tools"
    stand_in="$WIN/tests/wine/stand_in_program.exe"
fi
system32="$windows/system32"
pe_fixtures="$HOST/tests/pe_fixtures"
mkdir -p "$system32"

# put_stand_in WINDOWS_DIR_ON_DRIVE NAME: the side's helper program under that name.
put_stand_in() {
    mkdir -p "$DRIVE/$1"
    cp "$stand_in" "$DRIVE/$1/$2"
}

# szdd FILE TEXT: an SZDD file holding TEXT, made by the format's own compressor.
szdd() {
    local work
    work="$(mktemp -d)"
    printf '%s' "$2" >"$work/plain"
    mscompress "$work/plain" >/dev/null 2>&1
    mkdir -p "$(dirname "$1")"
    mv "$work/plain_" "$1"
    rm -rf "$work"
}

# dated FILE DATE TEXT: a file with that content and last-write time.
dated() {
    mkdir -p "$(dirname "$1")"
    printf '%s' "$3" >"$1"
    touch -d "$2" "$1"
}

# zip_tree ARCHIVE DIR ITEM...: zips the items of DIR with the subdirectories dated 2020-01-01,
# so that both sides make the same archive (zip keeps each entry's time).
zip_tree() {
    local archive="$1" dir="$2"
    shift 2
    find "$dir" -mindepth 1 -type d -exec touch -d 2020-01-01 {} +
    mkdir -p "$(dirname "$archive")"
    (cd "$dir" && zip -q -r -X "$archive" "$@")
}
