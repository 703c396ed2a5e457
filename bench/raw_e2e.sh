#!/usr/bin/env bash
# Camera RAW files against JPEGs of their preview's size, in the real main
# window under Xvfb (1920x1080, 24-bit): 30 DNGs of a 3232x2160 sensor
# image, each with a 1616x1080 JPEG preview, and the 30 preview JPEGs
# themselves. The DNGs are made from the generated benchmark photos by
# tests/data/formats/make_dng.py and kept in $GD_BENCH_PHOTOS.
# Then the first picture as a user meets it: the glimmerdeck executable
# started on each folder, from the spawn to the first picture painted in
# full (median of $GD_BENCH_RUNS runs, 10 by default, after a warm-up).
# Usage: bench/raw_e2e.sh <build folder>
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:?build folder}"
exe="$build/bench/bench_display_e2e"
[ -x "$exe" ] || exe="$build/bench_display_e2e"
runner="$build/bench/bench_startup"
[ -x "$runner" ] || runner="$build/bench_startup"
photos="${GD_BENCH_PHOTOS:-/tmp/glimmerdeck-bench-photos}"
"$exe" --generate "$photos/1616x1080" 1616x1080 30
mkdir -p "$photos/dng-1616x1080"
for j in "$photos"/1616x1080/*.jpg; do
  d="$photos/dng-1616x1080/$(basename "${j%.jpg}").dng"
  [ -s "$d" ] || python3 "$here/tests/data/formats/make_dng.py" "$j" 3232 2160 1 "$d"
done
du -sh "$photos/dng-1616x1080"
cat "$photos"/1616x1080/*.jpg "$photos"/dng-1616x1080/*.dng >/dev/null # in the page cache
x() { QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" "$@"; }
for set in dng-1616x1080 1616x1080; do
  x "$exe" "$photos/$set" "$set"
done
runs="${GD_BENCH_RUNS:-10}"
for set in dng-1616x1080 1616x1080; do
  echo "== start-up of the program to the first picture: folder $set"
  x "$runner" "$build/glimmerdeck" "$runs" first 1920x1080 "$photos/$set"
done
