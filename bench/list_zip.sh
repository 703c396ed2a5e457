#!/usr/bin/env bash
# Extraction speed against `unzip -q` on the same 200 MB zip of JPEG-like
# (incompressible) files, side by side in one run.
# Usage: bench/list_zip.sh <build folder with bench_list_zip>
set -euo pipefail
build="${1:?build folder}"
work="$(mktemp -d "${TMPDIR:-/tmp}/bench_list_zip.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src"
for i in $(seq -w 1 100); do
  # A JPEG start marker followed by 2 MB of random data, like real photos
  # that deflate cannot shrink.
  { printf '\xff\xd8\xff\xe0'; head -c 2097148 /dev/urandom; } >"$work/src/IMG_$i.jpg"
done
(cd "$work/src" && zip -q -r "$work/photos.zip" .)
ls -l "$work/photos.zip" | awk '{printf "zip: %.0f MB\n", $5/1048576}'
sync
hyperfine --warmup 1 --runs 7 \
  --prepare "rm -rf '$work/a' '$work/b'" \
  -n "unzip -q" "unzip -q '$work/photos.zip' -d '$work/a'" \
  -n "ExtractZip" "'$build/bench_list_zip' '$work/photos.zip' '$work/b'" \
  -n "ExtractArchive (+ list)" "'$build/bench_list_zip' '$work/photos.zip' '$work/b' --list"
