#!/usr/bin/env bash
# Sets up (packages, release build) on first use, then starts the viewer.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/setup.sh" "$here/build" -DGD_BUILD_TESTS=OFF
exec "$here/build/glimmerdeck" "$@"
