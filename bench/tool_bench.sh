#!/usr/bin/env bash
# Times brenvox.exe against vcdimager writing the same payload, side by side:
#   1. one 200 MB Form 1 file (brenvox.exe -s -f; vcdimager --add-file, plus the
#      short MPEG a Video CD needs),
#   2. one ~200 MB MPEG stream as Form 2 (brenvox.exe -m; vcdimager's VCD track),
# with dd's rate for the same size as the ceiling, and the peak memory of each.
# Usage: bench/tool_bench.sh [BUILD_DIR | path/to/brenvox.exe]   (Release build)
# Needs root for the one-time apt-get install of vcdimager, ffmpeg and time.
set -euo pipefail

arg="${1:-build}"
if [ -d "$arg" ]; then tool="$arg/bin/brenvox.exe"; else tool="$arg"; fi
[ -x "$tool" ] || { echo "no brenvox.exe at $tool (build it: cmake --build build --target brenvox_tool)" >&2; exit 1; }
tool="$(realpath "$tool")"
runs="${BENCH_RUNS:-3}"
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

# run NAME OUTPUT_PREFIX COMMAND...: median wall time and peak RSS over $runs runs.
run() {
  local name="$1" out="$2"; shift 2
  local times=() rss=0
  for _ in $(seq "$runs"); do
    rm -f "$out".bin "$out".cue
    /usr/bin/time -v -o time.txt "$@" > /dev/null 2> err.txt || { cat err.txt >&2; exit 1; }
    times+=("$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s}' time.txt)")
    local r; r=$(awk -F': ' '/Maximum resident set size/ {print $2}' time.txt)
    [ "$r" -gt "$rss" ] && rss="$r"
  done
  local median; median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}')
  local bytes; bytes=$(stat -c %s "$out".bin)
  printf '%-34s %8.3f s %9.1f MB/s %8.1f MB image %7.1f MB peak RSS  (runs: %s)\n' "$name" "$median" \
    "$(awk -v b="$bytes" -v t="$median" 'BEGIN {print b / 1e6 / t}')" "$(awk -v b="$bytes" 'BEGIN {print b / 1e6}')" \
    "$(awk -v r="$rss" 'BEGIN {print r / 1024}')" "${times[*]}"
  echo "$name $median $bytes" >> results.txt
}

# dd_rate BYTES BLOCK_SIZE: median of $runs runs writing zeros, the same size as an image.
dd_rate() {
  local bytes=$1 bs=$2 times=()
  for _ in $(seq "$runs"); do
    rm -f dd.bin
    local start end; start=$(date +%s.%N)
    dd if=/dev/zero of=dd.bin bs="$bs" count=$((bytes / bs)) status=none
    end=$(date +%s.%N)
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN {print b - a}')")
  done
  rm -f dd.bin
  local median; median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}')
  printf '%-34s %8.3f s %9.1f MB/s\n' "dd bs=$bs (ceiling)" "$median" "$(awk -v t="$median" -v n="$bytes" 'BEGIN {print n / 1e6 / t}')"
}

echo
echo "== Form 1: one $size_mb MB file =="
run "brenvox.exe -s -f data.bin" f1 "$tool" -o f1 -s -f data.bin
run "vcdimager --add-file data.bin" v1 vcdimager -t vcd2 -c v1.cue -b v1.bin --add-file=data.bin,DATA.BIN clip.mpg
dd_rate "$(stat -c %s f1.bin 2>/dev/null || echo $((size_mb * 1024 * 1024)))" 1048576
dd_rate "$(( $(stat -c %s v1.bin) / 2352 * 2352 ))" 2352

echo
echo "== Form 2: one $(( $(stat -c %s stream.mpg) / 1000000 )) MB MPEG stream =="
run "brenvox.exe -m stream.mpg" f2 "$tool" -o f2 -m stream.mpg
run "vcdimager stream.mpg" v2 vcdimager -t vcd2 -c v2.cue -b v2.bin stream.mpg
dd_rate "$(stat -c %s v2.bin)" 1048576

echo
awk '{t[$1 " " $2] = $(NF - 1); b[$1 " " $2] = $NF}
     END {
       f1 = (b["brenvox.exe -s"] / t["brenvox.exe -s"]) / (b["vcdimager --add-file"] / t["vcdimager --add-file"]);
       f2 = (b["brenvox.exe -m"] / t["brenvox.exe -m"]) / (b["vcdimager stream.mpg"] / t["vcdimager stream.mpg"]);
       printf "throughput ratio brenvox.exe / vcdimager: Form 1 %.2fx, Form 2 %.2fx (target >= 2x)\n", f1, f2
     }' results.txt
