#!/usr/bin/env bash
# Measures the demo installer's start under a private Xvfb: the time from the program's start
# to the extracted files on disk, to the window shown and to the page loaded, and the peak
# memory of the installer process. Each run uses a fresh prefix; figures are the median of the
# runs (times in ms) and the largest peak resident set.
#
# Usage: bench/installer_startup.sh [INSTALLER] [RUNS]
#        bench/installer_startup.sh --large [PAYLOAD] [RUNS]
#   INSTALLER  default build/run/app/installers/installer (scripts/run-installer.sh builds it)
#   RUNS       default 5
#   --large    builds (in build/run) the demo installer and one that carries PAYLOAD besides the
#              demo's files (default: the largest shared library in /usr/lib/x86_64-linux-gnu),
#              measures both and prints the ratio of their times to files on disk and the
#              difference of their peak resident sets
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = --large ]; then
  payload=${2:-$(ls -S /usr/lib/x86_64-linux-gnu/*.so* | sed -n 1p)}
  runs=${3:-5}
  cmake -S "$root" -B "$root/build/run" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSTOWAWAY_TESTS=OFF \
    -DSTOWAWAY_BENCH_PAYLOAD="$payload" >/dev/null
  cmake --build "$root/build/run" --target installer installer_large >/dev/null
  "$0" "$root/build/run/app/installers/installer" "$runs" | tee "${TMPDIR:-/tmp}/startup-demo.txt"
  echo
  "$0" "$root/build/run/app/installers/installer_large" "$runs" | tee "${TMPDIR:-/tmp}/startup-large.txt"
  # Extraction ends before the form-read trace line, so "form read" is the time to all files on
  # disk (the payload is written after the setup program, and removed at the end).
  awk '/median form read/ { t[FILENAME] = $4 } /peak RSS/ { r[FILENAME] = $4 }
       END { d = ARGV[1]; l = ARGV[2]
             printf "\nwith the payload: all files on disk %.2fx the demo'"'"'s time, peak RSS %+d KiB\n", t[l] / t[d], r[l] - r[d] }' \
    "${TMPDIR:-/tmp}/startup-demo.txt" "${TMPDIR:-/tmp}/startup-large.txt"
  exit 0
fi
installer=${1:-$root/build/run/app/installers/installer}
runs=${2:-5}
[ -x "$installer" ] || { echo "no installer at $installer (run scripts/run-installer.sh first)" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "Xvfb is missing (apt-get install xvfb)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d)
. "$root/scripts/xvfb.sh"
trap 'kill ${XVFB_PID:-} 2>/dev/null || true; rm -rf "$work"' EXIT
start_xvfb

results=$work/results
: >"$results"
for i in $(seq "$runs"); do
  prefix=$work/prefix$i
  mkdir -p "$prefix"
  start=$(date +%s.%N)
  DISPLAY=$XVFB_DISPLAY NO_AT_BRIDGE=1 STOWAWAY_PREFIX=$prefix STOWAWAY_TRACE=$prefix/trace \
    STOWAWAY_DEMO_LOG=$prefix/demo.log STOWAWAY_DEMO_SECONDS=1 \
    /usr/bin/time -v -o "$prefix/time" "$installer" 2>/dev/null
  temp=$(dirname "$(find "$prefix/drive_c/users" -maxdepth 3 -name vexil_qm_trial.exe | head -1)")
  written=$(stat -c %.9Y "$temp/vexil_qm_trial.exe")
  awk -v start="$start" -v written="$written" -v timefile="$prefix/time" '
    $3 == "form-read" { formread = $2 }
    $3 == "shown" { shown = $2 }
    $3 == "document-complete" { loaded = $2 }
    END {
      while ((getline line < timefile) > 0)
        if (line ~ /Maximum resident set size/) { n = split(line, f, " "); rss = f[n] }
      printf "%.1f %.1f %.1f %.1f %d\n", (written - start) * 1000, (formread - start) * 1000,
             (shown - start) * 1000, (loaded - start) * 1000, rss
    }' "$prefix/trace" >>"$results"
  sleep 1.5  # the demo setup program closes
done

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
echo "runs: $runs  installer: $installer"
echo "per run (ms: files written, form read, window shown, page loaded; peak RSS KiB):"
cat "$results"
printf 'median files on disk   %8.1f ms\n' "$(cut -d' ' -f1 "$results" | median)"
printf 'median form read       %8.1f ms\n' "$(cut -d' ' -f2 "$results" | median)"
printf 'median window shown    %8.1f ms\n' "$(cut -d' ' -f3 "$results" | median)"
printf 'median page loaded     %8.1f ms\n' "$(cut -d' ' -f4 "$results" | median)"
printf 'peak RSS (max)         %8d KiB\n' "$(cut -d' ' -f5 "$results" | sort -n | tail -1)"
