#!/usr/bin/env bash
# Sets up (packages, release build) on first use, then starts the viewer.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# Without a display Qt aborts with a misleading message; say what is wrong
# before building. --help and --version need no display, nor do platforms
# such as offscreen.
needs_display=1
for a in "$@"; do
  case "$a" in
    --) break ;;
    --help | --version) needs_display=0 ;;
  esac
done
# A platform list ("wayland;xcb") needs a display only when every entry does.
IFS=';' read -ra platforms <<<"${QT_QPA_PLATFORM:-}"
for p in "${platforms[@]}"; do
  case "${p%%:*}" in
    "" | xcb | wayland*) ;;
    *) needs_display=0 ;;
  esac
done
if ((needs_display)) && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "glimmerdeck: no display found; set DISPLAY or WAYLAND_DISPLAY (画面が見つかりません。DISPLAY か WAYLAND_DISPLAY を設定してください)" >&2
  exit 1
fi

"$here/scripts/setup.sh" "$here/build" -DGD_BUILD_TESTS=OFF
exec "$here/build/glimmerdeck" "$@"
