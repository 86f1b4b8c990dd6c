#!/usr/bin/env bash
# The demo package, put as demo-every-command puts it.
exec "$(dirname "$0")/../demo-every-command/prepare.sh" "$@"
