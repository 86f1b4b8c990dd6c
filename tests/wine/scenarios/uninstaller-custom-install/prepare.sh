#!/usr/bin/env bash
# The same package as the uninstaller scenario.
exec "$(dirname "$0")/../uninstaller/prepare.sh" "$@"
