#!/usr/bin/env bash
# Shared set-up for run.sh, test.sh and bench.sh: installs missing Debian
# packages, then configures and builds the given build folder.
# Usage: scripts/setup.sh BUILD_DIR [extra cmake args...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$1"; shift

"$here/scripts/need-packages.sh" cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools \
  qt6-image-formats-plugins qt6-svg-dev libqt6svg6 qt6-translations-l10n qt6-qpa-plugins libgl-dev \
  libzip-dev zlib1g-dev libjpeg62-turbo-dev libraw-dev libheif-dev libavif-dev libjxl-dev liblcms2-dev \
  libgtest-dev fonts-noto-cjk xvfb xauth imagemagick \
  desktop-file-utils xdotool x11-utils openbox libheif-examples libavif-bin libjxl-tools

# Worktrees and fresh clones of the project share cached objects.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$here}"
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" "$@" >&2
fi
# A build with nothing to do says nothing: the per-target "Built target"
# and automoc lines are dropped; real work and errors still show.
set +e
cmake --build "$build" -j"$(nproc)" 2>&1 |
  grep -Ev '^\[ *[0-9]+%\] (Built target|Automatic MOC)|^Consolidate compiler generated dependencies' >&2
status=${PIPESTATUS[0]}
set -e
exit "$status"
