#!/usr/bin/env bash
# Runs the test cases of one program that need a real X server and window
# manager: Xvfb, and openbox when installed.
# Usage: tests/support/run_x11.sh <test program> <gtest filter>
set -euo pipefail
exe="${1:?test program}"
filter="${2:?gtest filter}"
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
  if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & sleep 0.5; fi
  QT_QPA_PLATFORM=xcb "$0" --gtest_filter="$1"
' "$exe" "$filter"
