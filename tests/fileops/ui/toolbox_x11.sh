#!/usr/bin/env bash
# Runs the tool box tests that need a real X server and window manager:
# Xvfb, openbox when installed, and xprop to read what the manager did.
# Usage: tests/fileops/ui/toolbox_x11.sh <path to test_fileops_ui>
set -euo pipefail
exe="${1:?test program}"
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
  if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & sleep 0.5; fi
  QT_QPA_PLATFORM=xcb "$0" --gtest_filter="ToolBoxFixture.X11*"
' "$exe"
