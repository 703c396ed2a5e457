#!/usr/bin/env bash
# Extraction speed against `unzip -q` on the same 200 MB zip of JPEG-like
# (incompressible) files, side by side in one run.
# Usage: bench/list_zip.sh <build folder with bench_list_zip>
set -euo pipefail
for tool in hyperfine zip unzip; do
  command -v "$tool" >/dev/null || { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq "$tool" >/dev/null; }
done
build="${1:?build folder}"
exe="$build/bench/bench_list_zip"
[ -x "$exe" ] || exe="$build/bench_list_zip"
work="$(mktemp -d "${TMPDIR:-/tmp}/bench_list_zip.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src"
for i in $(seq -w 1 100); do
  # A JPEG start marker, 2 MB of random data and a little padding, so that
  # zip deflates the files slightly, as it does real photos.
  { printf '\xff\xd8\xff\xe0'; head -c 1990000 /dev/urandom; head -c 107148 /dev/zero; } >"$work/src/IMG_$i.jpg"
done
(cd "$work/src" && zip -q -r "$work/photos.zip" .)
ls -l "$work/photos.zip" | awk '{printf "zip: %.0f MB\n", $5/1048576}'
unzip -Z -t "$work/photos.zip" || true
# The viewer's extraction must give the same files as unzip.
unzip -q "$work/photos.zip" -d "$work/a"
"$exe" "$work/photos.zip" "$work/b"
diff -r "$work/a" "$work/b" && echo "extracted files identical to unzip's"
rm -rf "$work/a" "$work/b"
sync
hyperfine --warmup 1 --runs 7 \
  --prepare "rm -rf '$work/a' '$work/b'" \
  -n "unzip -q" "unzip -q '$work/photos.zip' -d '$work/a'" \
  -n "ExtractZip" "'$exe' '$work/photos.zip' '$work/b'" \
  -n "ExtractArchive (+ list)" "'$exe' '$work/photos.zip' '$work/b' --list"
