#!/usr/bin/env bash
# Times brenvox.exe against vcdimager writing the same payload, side by side:
#   1. one 200 MB Form 1 file (brenvox.exe -s -f; vcdimager --add-file, plus the
#      short MPEG a Video CD needs),
#   2. one ~200 MB MPEG stream as Form 2 (brenvox.exe -m; vcdimager's VCD track),
# with dd's rate for the same size as the ceiling, and the peak memory of each.
# The runs of the two writers alternate, so that a busy machine slows both alike;
# the medians of wall time and of CPU time (user + system) are reported.
# Usage: bench/tool_bench.sh [BUILD_DIR | path/to/brenvox.exe]   (Release build)
# Environment: BENCH_RUNS (default 5), BENCH_SIZE_MB (default 200).
# Needs root for the one-time apt-get install of vcdimager, ffmpeg and time.
set -euo pipefail

arg="${1:-build}"
if [ -d "$arg" ]; then tool="$arg/bin/brenvox.exe"; else tool="$arg"; fi
[ -x "$tool" ] || { echo "no brenvox.exe at $tool (build it: cmake --build build --target brenvox_tool)" >&2; exit 1; }
tool="$(realpath "$tool")"
runs="${BENCH_RUNS:-5}"
size_mb="${BENCH_SIZE_MB:-200}"

need=()
for p in vcdimager ffmpeg time; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ "${#need[@]}" -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${need[@]}" >/dev/null
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/brenvox-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cd "$work"

echo "Preparing the payload in $work ..."
head -c "$((size_mb * 1024 * 1024))" /dev/urandom > data.bin
ffmpeg -loglevel error -f lavfi -i testsrc=size=352x240:rate=30000/1001 -f lavfi -i sine \
  -t 30 -target ntsc-vcd clip.mpg
clip_bytes=$(stat -c %s clip.mpg)
copies=$(( (size_mb * 1024 * 1024 + clip_bytes - 1) / clip_bytes ))
for _ in $(seq "$copies"); do echo "file 'clip.mpg'"; done > list.txt
ffmpeg -loglevel error -f concat -safe 0 -i list.txt -c copy -f vcd stream.mpg
cat data.bin stream.mpg clip.mpg > /dev/null   # warm page cache

median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

# once NAME OUTPUT_PREFIX COMMAND...: one run; appends "wall cpu rss" to NAME.runs.
once() {
  local name="$1" out="$2"; shift 2
  rm -f "$out".bin "$out".cue
  /usr/bin/time -f '%e %U %S %M' -o time.txt "$@" > /dev/null 2> err.txt || { cat err.txt >&2; exit 1; }
  awk '{print $1, $2 + $3, $4}' time.txt >> "$name.runs"
  stat -c %s "$out".bin > "$name.bytes"
}

# report NAME LABEL: medians of the runs of NAME.
report() {
  local name="$1" label="$2"
  local wall cpu rss bytes
  wall=$(awk '{print $1}' "$name.runs" | median)
  cpu=$(awk '{print $2}' "$name.runs" | median)
  rss=$(awk '{print $3}' "$name.runs" | sort -n | tail -1)
  bytes=$(cat "$name.bytes")
  printf '%-30s %6.2f s wall %8.1f MB/s | %5.2f s CPU %8.1f MB/s | %6.1f MB image | %5.1f MB peak RSS\n' \
    "$label" "$wall" "$(awk -v b="$bytes" -v t="$wall" 'BEGIN {print b / 1e6 / t}')" \
    "$cpu" "$(awk -v b="$bytes" -v t="$cpu" 'BEGIN {print b / 1e6 / (t > 0 ? t : 0.001)}')" \
    "$(awk -v b="$bytes" 'BEGIN {print b / 1e6}')" "$(awk -v r="$rss" 'BEGIN {print r / 1024}')"
  echo "$name $wall $cpu $bytes" >> results.txt
}

# dd_rate BYTES BLOCK_SIZE: median of $runs runs writing zeros, the same size as an image.
dd_rate() {
  local bytes=$1 bs=$2
  for _ in $(seq "$runs"); do
    rm -f dd.bin
    /usr/bin/time -f '%e' -o time.txt dd if=/dev/zero of=dd.bin bs="$bs" count=$((bytes / bs)) status=none
    cat time.txt
  done > dd.runs
  rm -f dd.bin
  local wall; wall=$(median < dd.runs)
  printf '%-30s %6.2f s wall %8.1f MB/s\n' "dd bs=$bs (ceiling)" "$wall" \
    "$(awk -v t="$wall" -v n="$bytes" 'BEGIN {print n / 1e6 / (t > 0 ? t : 0.01)}')"
}

ratio() {  # ratio A B: throughput of A over throughput of B, by wall and by CPU time
  awk -v a="$1" -v b="$2" '$1 == a {wa = $2; ca = $3; ba = $4} $1 == b {wb = $2; cb = $3; bb = $4}
    END {printf "%.2fx by wall time, %.2fx by CPU time", (ba / wa) / (bb / wb), (ba / ca) / (bb / cb)}' results.txt
}

echo
echo "== Form 1: one $size_mb MB file ($runs runs each, alternating) =="
for _ in $(seq "$runs"); do
  once ours1 f1 "$tool" -o f1 -s -f data.bin
  once vcd1 v1 vcdimager -t vcd2 -c v1.cue -b v1.bin --add-file=data.bin,DATA.BIN clip.mpg
done
report ours1 "brenvox.exe -s -f data.bin"
report vcd1 "vcdimager --add-file data.bin"
dd_rate "$(cat ours1.bytes)" 1048576
dd_rate "$(( $(cat ours1.bytes) / 2352 * 2352 ))" 2352

echo
echo "== Form 2: one $(( $(stat -c %s stream.mpg) / 1000000 )) MB MPEG stream ($runs runs each, alternating) =="
for _ in $(seq "$runs"); do
  once ours2 f2 "$tool" -o f2 -m stream.mpg
  once vcd2 v2 vcdimager -t vcd2 -c v2.cue -b v2.bin stream.mpg
done
report ours2 "brenvox.exe -m stream.mpg"
report vcd2 "vcdimager stream.mpg"
dd_rate "$(cat ours2.bytes)" 1048576

echo
echo "throughput brenvox.exe / vcdimager (target >= 2x):"
echo "  Form 1: $(ratio ours1 vcd1)"
echo "  Form 2: $(ratio ours2 vcd2)"
