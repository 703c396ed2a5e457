#!/usr/bin/env bash
# Sets up (packages, build with tests), then runs every test with CTest.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/setup.sh" "$here/build-test" -DGD_BUILD_TESTS=ON
cd "$here/build-test"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure -j"$(nproc)" "$@"
