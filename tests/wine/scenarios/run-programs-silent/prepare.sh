#!/usr/bin/env bash
# The same programs as the run-programs scenario.
exec "$(dirname "$0")/../run-programs/prepare.sh" "$@"
