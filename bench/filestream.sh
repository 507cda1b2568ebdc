#!/usr/bin/env bash
# Copies one file with cp and through OrbFileStream (bench_filestream --copy: read in requests,
# written through a second stream), several times each, alternating, from the page cache. Prints
# the fastest and the median time of each and the stream's share of cp's throughput, from the
# fastest runs: on a shared machine the fastest run is the one least disturbed by others.
#
#   bench/filestream.sh [BUILD_DIR]    (SIZE_MB=1024 RUNS=5 REQUEST=1048576 by default)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
program="$build/bin/bench_filestream"
size_mb="${SIZE_MB:-1024}"
runs="${RUNS:-5}"
request="${REQUEST:-1048576}"
[ -x "$program" ] || { echo "filestream: build $program first" >&2; exit 2; }

dir="$(mktemp -d "${TMPDIR:-/tmp}/volan-filestream-XXXXXX")"
trap 'rm -rf "$dir"' EXIT
head -c "${size_mb}M" /dev/urandom >"$dir/source"
cat "$dir/source" >/dev/null  # into the page cache

seconds() { date +%s.%N; }
median() { sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

cp_times=()
stream_times=()
for ((i = 1; i <= runs; i++)); do
  rm -f "$dir/target"; sync
  start=$(seconds); cp "$dir/source" "$dir/target"; end=$(seconds)
  cp_times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')")
  rm -f "$dir/target"; sync
  stream_times+=("$("$program" --copy "$dir/source" "$dir/target" "$request")")
done
cmp -s "$dir/source" "$dir/target" || { echo "filestream: the stream's copy differs" >&2; exit 1; }

cp_median=$(printf '%s\n' "${cp_times[@]}" | median)
stream_median=$(printf '%s\n' "${stream_times[@]}" | median)
cp_best=$(printf '%s\n' "${cp_times[@]}" | sort -g | head -n 1)
stream_best=$(printf '%s\n' "${stream_times[@]}" | sort -g | head -n 1)
echo "file: ${size_mb} MiB, requests of ${request} bytes, ${runs} runs each"
echo "cp:            ${cp_times[*]} s; fastest ${cp_best} s, median ${cp_median} s"
echo "OrbFileStream: ${stream_times[*]} s; fastest ${stream_best} s, median ${stream_median} s"
awk -v c="$cp_best" -v s="$stream_best" -v cm="$cp_median" -v sm="$stream_median" \
  'BEGIN { printf "ratio (stream throughput / cp throughput): %.2f fastest, %.2f median\n", c / s, cm / sm }'
