#!/usr/bin/env bash
# Start-up and stepping speed beside other viewers (feh, qimgv), measured
# from outside under Xvfb 1920x1080 with the openbox window manager, on 30
# JPEGs of 6000x4000 and 30 of 1920x1080. Prints the comparison table.
# "floor" is bench_qt_floor: a bare Qt Widgets viewer (menus, status bar,
# the picture), the least any Qt Widgets program costs on this machine.
# Ours runs twice: with the tool box open (as on a first start) and closed.
# Usage: bench/compare.sh <build folder> [more viewers: NAME=EXE ...]
#   e.g. base=/path/to/older/glimmerdeck: an earlier build in the same run,
#   against which the human-pace step and peak memory are checked.
#   GD_BENCH_RUNS (5) start-ups per viewer, GD_BENCH_STEPS (20) steps,
#   GD_BENCH_PHOTOS (/tmp/glimmerdeck-bench-photos) where the photos go.
set -euo pipefail
build="${1:?build folder}"; shift
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
driver="$build/bench/bench_compare"
gen="$build/bench/bench_display_e2e"
cmake --build "$build" --target bench_compare bench_display_e2e bench_qt_floor glimmerdeck >/dev/null

"$here/scripts/need-packages.sh" feh qimgv openbox xvfb xauth

photos="${GD_BENCH_PHOTOS:-/tmp/glimmerdeck-bench-photos}"
"$gen" --generate "$photos/6000x4000" 6000x4000 30
"$gen" --generate "$photos/1920x1080" 1920x1080 30
cat "$photos"/*/*.jpg >/dev/null # in the page cache, as after a first look

# One X server with a window manager, as users have; the driver talks to it.
xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" bash -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 1
  "$@"
  status=$?
  kill $wm
  exit $status' bash \
  "$driver" --runs "${GD_BENCH_RUNS:-5}" --steps "${GD_BENCH_STEPS:-20}" \
  --set "24 MP=$photos/6000x4000" --set "2 MP=$photos/1920x1080" \
  feh qimgv "floor=$build/bench/bench_qt_floor" \
  "ours, tool box open=$build/glimmerdeck" "ours, tool box closed=$build/glimmerdeck" "$@"
