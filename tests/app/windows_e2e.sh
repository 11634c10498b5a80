#!/usr/bin/env bash
# Runs a command (the Windows end-to-end test under its emulator) on a private Xvfb.
set -euo pipefail
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 7 -screen 0 1024x768x24 -nolisten tcp 7>"$fifo" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$fifo"' EXIT
read -r number <"$fifo"
DISPLAY=:$number "$@"
