#!/usr/bin/env bash
# The main job at real sizes, against 7-Zip's store mode on the same file, in one run:
#   - `stowaway create` / `stowaway extract` of the largest shared library in
#     /usr/lib/x86_64-linux-gnu against `7z a -mx0` / `7z x` (best of 3 each, wall time),
#     with the peak resident set of each;
#   - the peak resident set of create, list, extract, pack and unpack on a 1 GiB payload.
#
# Usage: bench/payload_vs_7z.sh [STOWAWAY]   (default: build/release/tools/stowaway, built when missing)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=$(realpath -m "${1:-$root/build/release/tools/stowaway}")
if [ ! -x "$tool" ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release --target stowaway >/dev/null
fi
command -v 7z >/dev/null || { echo "7z is missing (apt-get install p7zip-full)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (apt-get install time)" >&2; exit 1; }

big=$(ls -S /usr/lib/x86_64-linux-gnu/*.so* | sed -n 1p)
work=$(mktemp -d "${TMPDIR:-/var/tmp}/stowaway-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
name=$(basename "$big")
cp "$big" "$work/$name"
sync

# run LABEL COMMAND...: wall seconds (timed to the microsecond around /usr/bin/time, whose own
# figure has a resolution of 10 ms) and peak RSS (KiB) of one run, appended to $work/LABEL
run() {
  local label=$1 start end; shift
  start=$(date +%s%N)
  /usr/bin/time -f "%M" -o "$work/t" "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000 )) $(cat "$work/t")" | awk '{ printf "%.6f %s\n", $1 / 1e6, $2 }' >>"$work/$label"
}
best() { sort -n "$work/$1" | head -1 | cut -d' ' -f1; }
peak() { cut -d' ' -f2 "$work/$1" | sort -n | tail -1; }

for i in 1 2 3; do
  rm -f "$work/c.sfp" "$work/c.7z"; rm -rf "$work/x1" "$work/x2"
  (cd "$work" && run sw-create "$tool" create c.sfp "$name")
  (cd "$work" && run 7z-create 7z a -mx0 c.7z "$name")
  run sw-extract "$tool" extract "$work/c.sfp" "$work/x1"
  run 7z-extract 7z x -o"$work/x2" "$work/c.7z"
done
cmp -s "$work/x1/$name" "$big" || { echo "extracted file differs" >&2; exit 1; }

echo "payload: $big ($(stat -c %s "$big") bytes); container $(stat -c %s "$work/c.sfp") bytes, 7z $(stat -c %s "$work/c.7z") bytes"
printf '%-8s %10s %10s %8s %12s %12s\n' what stowaway 7z ratio "RSS sw KiB" "RSS 7z KiB"
for what in create extract; do
  s=$(best sw-$what); z=$(best 7z-$what)
  printf '%-8s %9.3fs %9.3fs %7.2fx %12s %12s\n' "$what" "$s" "$z" "$(echo "$s / $z" | bc -l)" \
    "$(peak sw-$what)" "$(peak 7z-$what)"
done

# 1 GiB payload: runs of bytes and scrambled stretches, so the container is large too.
python3 - "$work/gib" <<'PY'
import os, sys
block = bytearray()
x = 12345
for i in range(1 << 20):
    x = (x * 1103515245 + 12345) & 0xffffffff
    block.append((x >> 24) if (i // 4096) % 2 else (i // 256) & 0xff)
with open(sys.argv[1], "wb") as f:
    for _ in range(1024):
        f.write(block)
PY
rm -rf "$work/x1" "$work/x2" "$work/c.7z" "$work/c.sfp"
run gib-create "$tool" create "$work/g.sfp" "$work/gib"
run gib-list "$tool" list "$work/g.sfp"
run gib-extract "$tool" extract "$work/g.sfp" "$work/gx"
run gib-pack "$tool" pack "$work/gib" "$work/g.packed"
run gib-unpack "$tool" unpack "$work/g.packed" "$work/g.unpacked"
echo "1 GiB payload (container $(stat -c %s "$work/g.sfp") bytes): peak RSS KiB"
for what in create list extract pack unpack; do
  printf '  %-8s %8s KiB  (%ss)\n' "$what" "$(peak gib-$what)" "$(best gib-$what)"
done
