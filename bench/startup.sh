#!/usr/bin/env bash
# Start-up of the glimmerdeck executable under Xvfb (1920x1080, 24-bit), its
# window sized to the whole screen (no window manager runs to maximise it):
# process start to the idle main window with no arguments, and to the first
# picture painted in full when given a folder of 30 photos or one photo.
# Figures are milliseconds after the spawn; ready = application object made,
# window = first paint of the window flushed. Median of 10 after a warm-up.
# Usage: bench/startup.sh <build folder>
set -euo pipefail
build="${1:?build folder}"
exe="$build/glimmerdeck"
runner="$build/bench/bench_startup"
[ -x "$runner" ] || runner="$build/bench_startup"
gen="$build/bench/bench_display_e2e"
[ -x "$gen" ] || gen="$build/bench_display_e2e"
photos="${GD_BENCH_PHOTOS:-/tmp/glimmerdeck-bench-photos}"
"$gen" --generate "$photos/6000x4000" 6000x4000 30
"$gen" --generate "$photos/1920x1080" 1920x1080 30
cat "$photos"/*/*.jpg >/dev/null
runs="${GD_BENCH_RUNS:-10}"
x() { QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" "$@"; }
echo "== start-up to the idle main window, no arguments"
x "$runner" "$exe" "$runs" idle 1920x1080
echo "== start-up to the first picture: folder of 30 photos of 6000x4000"
x "$runner" "$exe" "$runs" first 1920x1080 "$photos/6000x4000"
echo "== start-up to the first picture: one photo of 6000x4000"
x "$runner" "$exe" "$runs" first 1920x1080 "$photos/6000x4000/IMG_0001.jpg"
echo "== start-up to the first picture: folder of 30 photos of 1920x1080"
x "$runner" "$exe" "$runs" first 1920x1080 "$photos/1920x1080"
echo "== start-up to the first picture: one photo of 1920x1080"
x "$runner" "$exe" "$runs" first 1920x1080 "$photos/1920x1080/IMG_0001.jpg"
