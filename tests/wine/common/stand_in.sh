#!/bin/sh
# The simulated machine's stand-in for a package's helper program, the twin of
# stand_in_program.exe under Wine: named UNPACK* it writes "unpacked with: ARGS" to
# UNPACKED.TXT in the current directory, named EXIT<n>.EXE it writes "ran: ARGS" to EXIT<n>.TXT
# and exits with n, named anything else "registered: ARGS" to REGISTERED.TXT.
name=$(basename "$0" | tr 'a-z' 'A-Z')
case "$name" in
UNPACK*) echo "unpacked with: $*" >UNPACKED.TXT ;;
EXIT*)
    code=${name#EXIT}
    code=${code%%.*}
    echo "ran: $*" >"EXIT$code.TXT"
    exit "$code"
    ;;
*) echo "registered: $*" >REGISTERED.TXT ;;
esac
