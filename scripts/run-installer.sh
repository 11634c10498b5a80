#!/usr/bin/env bash
# Builds the installer and runs it: on the desktop when DISPLAY is set, otherwise under a
# private Xvfb, where it saves a screenshot of its window once the page has loaded and prints
# where it is, and ends the installer should it still run after 120 s (an error's message box
# there waits for a click nobody can give). Missing Debian packages are installed first (as
# root, or through sudo).
#
# Usage: scripts/run-installer.sh
# Environment: STOWAWAY_SCREENSHOT  where the screenshot goes under Xvfb
#                                   (default build/run/installer-window.png)
#              STOWAWAY_PREFIX      the prefix holding drive C: and the registry (default
#                                   ~/.local/share/stowaway)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/run

"$root/scripts/install-deps.sh" run

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSTOWAWAY_TESTS=OFF >/dev/null
cmake --build "$build" --target installer
installer=$build/app/installers/installer

if [ -n "${DISPLAY:-}" ]; then
  exec "$installer"
fi

shot=${STOWAWAY_SCREENSHOT:-$build/installer-window.png}
mkdir -p "$(dirname "$shot")"
rm -f "$shot"
. "$root/scripts/xvfb.sh"
trap 'kill ${XVFB_PID:-} 2>/dev/null || true' EXIT
start_xvfb
echo "running the installer under Xvfb on $XVFB_DISPLAY" >&2
status=0
DISPLAY=$XVFB_DISPLAY NO_AT_BRIDGE=1 STOWAWAY_SCREENSHOT=$shot run_with_limit 120 "$installer" || status=$?
# The setup program it started keeps its window for a few seconds.
sleep 3
if [ -f "$shot" ]; then
  echo "screenshot of the installation window: $shot"
else
  echo "no screenshot was taken (the page did not load)" >&2
  [ $status -ne 0 ] || status=1
fi
exit $status
