#!/usr/bin/env bash
# Times reading an image back: brenvox.exe --extract and --check of a ~700 MB
# image (one Form 1 file of random bytes and one Form 2 file, so that both
# sector kinds are read and checked), against a dd copy of the same .bin, with
# the peak memory of each (/usr/bin/time -v). Medians of BENCH_RUNS runs.
#
# Usage: bench/extract_bench.sh [BUILD_DIR | path/to/brenvox.exe]
# Environment: BENCH_RUNS (default 3), BENCH_SIZE_MB (default 700).
set -euo pipefail

tool="${1:-build}"
[ -d "$tool" ] && tool="$tool/bin/brenvox.exe"
[ -x "$tool" ] || { echo "no brenvox.exe at $tool" >&2; exit 1; }
tool="$(realpath "$tool")"
runs="${BENCH_RUNS:-3}"
size_mb="${BENCH_SIZE_MB:-700}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Two thirds Form 1, one third Form 2, by image bytes.
head -c $((size_mb * 1000000 * 2 / 3 * 2048 / 2352)) /dev/urandom > "$work/data.bin"
head -c $((size_mb * 1000000 / 3 * 2324 / 2352)) /dev/urandom > "$work/clip.mpg"
SOURCE_DATE_EPOCH=1700000000 "$tool" -o "$work/disc" -f "$work/data.bin" -m "$work/clip.mpg" > /dev/null
image_bytes=$(stat -c %s "$work/disc.bin")
echo "image: $((image_bytes / 1000000)) MB ($((image_bytes / 2352)) sectors)"

# Runs a command RUNS times; prints the median wall time and the largest peak memory.
measure() {
  local name="$1"; shift
  local walls=() peak=0
  for _ in $(seq "$runs"); do
    rm -rf "$work/x" "$work/x.kbv" "$work/copy.bin"
    sync
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" > /dev/null 2> "$work/err" || [ "$name" != extract ] || { cat "$work/err"; exit 1; }
    read -r wall rss < "$work/time"
    walls+=("$wall")
    [ "$rss" -gt "$peak" ] && peak=$rss
  done
  local median
  median=$(printf '%s\n' "${walls[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p")
  awk -v n="$name" -v t="$median" -v b="$image_bytes" -v m="$peak" \
    'BEGIN { printf "%-8s %6.2f s  %7.0f MB/s  peak %6.1f MB\n", n, t, (t > 0 ? b / 1e6 / t : 0), m / 1024 }'
}

measure extract "$tool" --extract "$work/disc.cue" "$work/x"
measure check "$tool" --check "$work/disc.cue"
measure dd dd if="$work/disc.bin" of="$work/copy.bin" bs=1M
