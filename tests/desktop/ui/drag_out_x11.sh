#!/usr/bin/env bash
# Runs the drag-out tests through a real X server: Xvfb, a window manager
# when one is installed, and xdotool driving the pointer.
# Usage: tests/desktop/ui/drag_out_x11.sh <path to test_desktop_ui>
set -euo pipefail
exe="${1:?test program}"
exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash -c '
  if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & sleep 0.5; fi
  QT_QPA_PLATFORM=xcb "$0" --gtest_filter="DragOutX11.*"
' "$exe"
