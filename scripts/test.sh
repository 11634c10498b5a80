#!/usr/bin/env bash
# Builds and runs every test: the unit and integration tests (with AddressSanitizer and UBSan),
# the same tests cross-built for Windows and run under Wine, then each fuzz target for a
# short, bounded time. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

jobs=$(nproc)
cmake --preset test >/dev/null
cmake --build --preset test -j "$jobs"
ctest --preset test -j "$jobs"

# Windows: the mingw-w64 cross build and its tests under Wine, in a Wine prefix made afresh
# for the run.
cmake --preset windows-test >/dev/null
cmake --build --preset windows-test -j "$jobs"
ctest --preset windows-test -j "$jobs"

# Fuzz targets: clang + libFuzzer, each run briefly from an empty corpus plus its seeds.
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs" --target fuzz_all
seconds=${FUZZ_SECONDS:-15}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  mkdir -p "$work/$name"
  seeds=fuzz/seeds/${name#fuzz_}
  [ -d "$seeds" ] || seeds=
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=0 \
    -artifact_prefix="$work/$name/" "$work/$name" $seeds 2>"$work/$name.log" || {
      tail -n 40 "$work/$name.log"; echo "fuzz target $name failed" >&2; exit 1; }
done
echo "fuzz targets passed"
