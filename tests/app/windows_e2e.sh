#!/usr/bin/env bash
# Runs the Windows end-to-end test on a private Xvfb. Usage: windows_e2e.sh EMULATOR PREFIX TEST
# (EMULATOR PREFIX being the cross build's emulator, cmake/wine-run.sh and its Wine prefix).
# Wine's desktop process belongs to the first program of a Wine session and keeps its display:
# the session is ended first (the test runs alone), so that the next one starts on this Xvfb.
set -euo pipefail
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 7 -screen 0 1024x768x24 -nolisten tcp 7>"$fifo" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$fifo"' EXIT
read -r number <"$fifo"
WINEPREFIX=$2 wineserver -k 2>/dev/null || true
WINEPREFIX=$2 wineserver -w 2>/dev/null || true
status=0
DISPLAY=:$number "$@" || status=$?
# The session on this display ends with it.
WINEPREFIX=$2 wineserver -k 2>/dev/null || true
WINEPREFIX=$2 wineserver -w 2>/dev/null || true
exit $status
