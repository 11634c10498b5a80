#!/usr/bin/env bash
# Compares `stowaway build` with 7-Zip's self-extracting store mode (`7z a -mx0 -sfx`, which
# prepends p7zip-full's console module /usr/lib/p7zip/7zCon.sfx) on the same file: by default
# the largest shared library in /usr/lib/x86_64-linux-gnu as the setup program. Best of RUNS
# wall-clock times each, in one run, with the CPU time (user + system, all threads) of the
# fastest run and the peak resident set of the last run of each.
#
# Usage: bench/build_vs_7z.sh [BUILD_DIR] [FILE] [RUNS]
#   BUILD_DIR  default build/release (needs tools/stowaway and app/installer_stub)
#   RUNS       default 3
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
file=${2:-$(find /usr/lib/x86_64-linux-gnu -maxdepth 1 -type f -name '*.so*' -printf '%s %p\n' | sort -n | tail -1 | cut -d' ' -f2)}
runs=${3:-3}
tool=$build/tools/stowaway
stub=$build/app/installer_stub
[ -x "$tool" ] && [ -x "$stub" ] || {
  echo "build stowaway and installer_stub first: cmake --build --preset release --target stowaway installer_stub" >&2
  exit 1
}
command -v 7z >/dev/null || { echo "7z is missing (apt-get install p7zip-full)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
page=$work/page.html
echo '<html><body>Setup</body></html>' >"$page"
export STOWAWAY_PREFIX=$work/prefix

# best_of NAME COMMAND...: runs the command RUNS times (removing its output first), prints the
# best time in ms, the CPU time of that run and the last run's peak RSS in MB.
best_of() {
  local name=$1 out=$2
  shift 2
  local best= cpu=
  for _ in $(seq "$runs"); do
    rm -f "$out"
    sync
    local start end ms
    start=$(date +%s%N)
    /usr/bin/time -f '%M %U %S' -o "$work/rss" "$@" >/dev/null
    end=$(date +%s%N)
    ms=$(( (end - start) / 1000000 ))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then
      best=$ms
      cpu=$(awk '{ printf "%d", ($2 + $3) * 1000 }' "$work/rss")
    fi
  done
  printf '%-28s %8d ms  (CPU %4d ms)  %6d MB  %s bytes\n' "$name" "$best" "$cpu" \
    $(( $(cut -d' ' -f1 "$work/rss") / 1024 )) "$(stat -c %s "$out")"
  echo "$best" >"$work/$name.ms"
}

echo "file: $file ($(stat -c %s "$file") bytes), best of $runs"
best_of "stowaway build" "$work/installer" "$tool" build "$work/installer" --stub "$stub" --page "$page" --setup "setup.exe=$file"
cp "$file" "$work/setup.exe"
best_of "7z a -mx0 -sfx" "$work/setup.7z.exe" 7z a -mx0 -sfx "$work/setup.7z.exe" "$work/setup.exe" "$page"
awk -v a="$(cat "$work/stowaway build.ms")" -v b="$(cat "$work/7z a -mx0 -sfx.ms")" \
  'BEGIN { printf "build / 7z sfx: %.2f (target at most 1.5)\n", a / (b > 0 ? b : 1) }'
"$tool" verify "$work/installer"
