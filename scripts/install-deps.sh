#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, skipping those already present.
# Usage: scripts/install-deps.sh [test|run|windows]   (run: only what building and running the
# installer needs; windows: that and the mingw-w64 cross compiler and Wine)
set -euo pipefail
what=${1:-test}
pkgs=(cmake ninja-build g++ pkg-config libgtk-3-dev libwebkit2gtk-4.1-dev libx11-dev libxrandr-dev libssl-dev libgdk-pixbuf-2.0-dev xvfb xauth fonts-liberation2)
if [ "$what" = test ] || [ "$what" = windows ]; then
  pkgs+=(g++-mingw-w64-x86-64 wine wine64 util-linux)
fi
if [ "$what" = test ]; then
  pkgs+=(googletest libgtest-dev libgmock-dev libbenchmark-dev liblz4-dev clang libclang-rt-14-dev fpc
         libxtst-dev libxcomposite-dev iproute2)
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}" >&2
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
