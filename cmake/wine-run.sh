#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix: the emulator of the cross
# build's tests. Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
# The prefix is made on first use (wineboot -i, about 25 s; concurrent callers wait for it).
# Wine's offers to download its HTML and .NET engines are turned off, and so is its debug
# output, unless WINEDEBUG is set.
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/.stowaway-ready" ]; then
    rm -rf "$prefix"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
    touch "$prefix/.stowaway-ready"
  fi
) 9>"$prefix.lock"
exec wine "$@"
