#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang, ASan and UBSan (in
# build-fuzz/), then runs them one after the other.
# Usage: ./fuzz.sh [target|all] [seconds per target]     (default: all 60)
#        ./fuzz.sh list                                  (names the targets)
# Seeds come from fuzz/corpus/<target>; what a run finds interesting is kept
# in build-fuzz/corpus/<target>, crashing inputs in build-fuzz/findings/<target>.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$here/build-fuzz"
targets=(ini listfile zipname zipextract exif dib pcx sunras cmdline dcimrules heif avif jxl raw icc)

what="${1:-all}"
seconds="${2:-60}"
if [ "$what" = list ]; then
  printf '%s\n' "${targets[@]}"
  exit 0
fi
if [ "$what" != all ]; then
  found=0
  for t in "${targets[@]}"; do [ "$t" = "$what" ] && found=1; done
  if [ $found = 0 ]; then
    echo "Unknown target: $what (one of: ${targets[*]}, all)" >&2
    exit 2
  fi
  targets=("$what")
fi

"$here/scripts/need-packages.sh" clang-14 libclang-rt-14-dev cmake pkg-config qt6-base-dev libzip-dev \
  libjpeg62-turbo-dev libraw-dev libheif-dev libavif-dev libjxl-dev liblcms2-dev

launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 "${launcher[@]}" >&2
fi
cmake --build "$build" -j"$(nproc)" >&2

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
export QT_QPA_PLATFORM=offscreen
summary=()
status=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  findings="$build/findings/$t"
  mkdir -p "$corpus" "$findings"
  args=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048
        -artifact_prefix="$findings/")
  [ -f "$here/fuzz/dict/$t.dict" ] && args+=(-dict="$here/fuzz/dict/$t.dict")
  seeds=()
  [ -d "$here/fuzz/corpus/$t" ] && seeds+=("$here/fuzz/corpus/$t")
  log="$build/$t.log"
  echo "== $t: $seconds s" >&2
  if "$build/fuzz_$t" "${args[@]}" "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    result=ok
  else
    result="FINDING (see $log and $findings)"
    status=1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -1 | awk '{print $2}')
  cov=$(grep -oE '(DONE|pulse|NEW|REDUCE|INITED) +cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 | awk '{print $3, $5}')
  summary+=("$(printf '%-11s runs %10s  cov %5s  ft %6s  corpus %5s  %s' "$t" "${runs:-?}" \
    "$(echo "$cov" | cut -d' ' -f1)" "$(echo "$cov" | cut -d' ' -f2)" "$(ls "$corpus" | wc -l)" "$result")")
done
printf '%s\n' "${summary[@]}"
exit $status
