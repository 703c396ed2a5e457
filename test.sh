#!/usr/bin/env bash
# Sets up (packages, build with tests), then runs every test with CTest.
#   ./test.sh [ctest args...]             the plain build, in build-test/
#   ./test.sh --sanitize [ctest args...]  everything built with AddressSanitizer
#                                         and UndefinedBehaviorSanitizer, in
#                                         build-sanitize/ (run by hand: slower)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ "${1:-}" = "--sanitize" ]; then
  shift
  flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
  build="$here/build-sanitize"
  "$here/scripts/setup.sh" "$build" -DGD_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" -DCMAKE_MODULE_LINKER_FLAGS="$flags"
  # libxkbcommon-x11 (Qt's connection to a real X display) copies atom names
  # with strndup and a length past the reply; strict checks would report
  # that inside the system library, so strndup alone is not intercepted.
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:intercept_strndup=0}"
  export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/scripts/lsan-system.supp}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
  jobs=1 # the sanitized programs are large; one at a time keeps the machine usable
else
  build="$here/build-test"
  "$here/scripts/setup.sh" "$build" -DGD_BUILD_TESTS=ON
  jobs="$(nproc)"
fi
cd "$build"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure -j"$jobs" "$@"
