#!/usr/bin/env bash
# Key press to picture on screen in the real main window under Xvfb
# (1920x1080, 24-bit), on 30 photos of 6000x4000 and 30 of 1920x1080.
# The photos are generated once and kept in $GD_BENCH_PHOTOS (default
# /tmp/glimmerdeck-bench-photos) so reruns start at once.
# Usage: bench/display_e2e.sh <build folder>
set -euo pipefail
build="${1:?build folder}"
exe="$build/bench/bench_display_e2e"
[ -x "$exe" ] || exe="$build/bench_display_e2e"
photos="${GD_BENCH_PHOTOS:-/tmp/glimmerdeck-bench-photos}"
"$exe" --generate "$photos/6000x4000" 6000x4000 30
"$exe" --generate "$photos/1920x1080" 1920x1080 30
cat "$photos"/*/*.jpg >/dev/null # in the page cache, as after a first look
for set in 6000x4000 1920x1080; do
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" \
    "$exe" "$photos/$set" "$set JPEGs"
done
