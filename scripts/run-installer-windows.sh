#!/usr/bin/env bash
# Builds the Windows installer with the mingw-w64 cross compiler and runs it under Wine: on
# the desktop when DISPLAY is set, otherwise under a private Xvfb (where it is ended should it
# still run after 180 s: a message box there waits for a click nobody can give). The Wine prefix is
# build/windows/wineprefix (made on first use, about 25 s). Missing Debian packages are
# installed first (as root, or through sudo).
#
# Usage: scripts/run-installer-windows.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/windows

"$root/scripts/install-deps.sh" windows

cmake --preset windows -S "$root" >/dev/null
cmake --build "$build" --target installer
installer=$build/app/installers/installer.exe
run=("$root/cmake/wine-run.sh" "$build/wineprefix" "$installer")

if [ -n "${DISPLAY:-}" ]; then
  exec "${run[@]}"
fi

. "$root/scripts/xvfb.sh"
trap 'kill ${XVFB_PID:-} 2>/dev/null || true' EXIT
start_xvfb
echo "running the Windows installer under Wine on Xvfb $XVFB_DISPLAY" >&2
status=0
DISPLAY=$XVFB_DISPLAY run_with_limit 180 "${run[@]}" || status=$?
[ $status -ne 124 ] || WINEPREFIX=$build/wineprefix wineserver -k || true
# The setup program it started keeps its window for a few seconds.
WINEPREFIX=$build/wineprefix wineserver -w || true
exit $status
