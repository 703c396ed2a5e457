#!/usr/bin/env bash
# Builds the benchmarks and runs them (or the ones named: ./bench.sh list_scan).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/setup.sh" "$here/build-bench" -DGD_BUILD_TESTS=OFF -DGD_BUILD_BENCH=ON
command -v hyperfine >/dev/null || true
cd "$here/build-bench"
if (($#)); then names=("$@"); else names=(); for b in bench/bench_*; do names+=("${b#bench/bench_}"); done; fi
for n in "${names[@]}"; do
  echo "== $n"
  if [ -x "$here/bench/$n.sh" ]; then "$here/bench/$n.sh" "$here/build-bench"; else QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "./bench/bench_$n"; fi
done
