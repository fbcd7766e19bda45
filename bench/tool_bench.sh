#!/usr/bin/env bash
# Times brenvox.exe (and, when given, an older build of it) against vcdimager
# and a dd copy, writing the same payloads, side by side:
#   1. one 200 MiB random file as Form 1 (brenvox.exe -s -f; vcdimager
#      --add-file, plus the short MPEG a Video CD needs),
#   2. one ~213 MB MPEG stream as Form 2 (brenvox.exe -m; vcdimager's VCD track),
#   3. 10,000 small files (brenvox.exe -f each): CPU time per file, beside
#      `cat` reading the same files in the same rounds (a common reader of
#      many files: an open, a buffer of its own, reads and a close for each),
#      for scale on a machine whose load raises both alike,
# with `dd if=INPUT of=OUT bs=1204224` (512 sectors) copying the same
# input as the ceiling: plainly, and with conv=fsync (a copy that is on the
# disk when it ends, as the tool's image is), into a new file on the same disk;
# and the tool and a plain dd again with their outputs on tmpfs (/dev/shm),
# where no disk is waited for. The peak memory of each program is reported.
# The runs alternate (old, new, vcdimager, dd, then again), so that a busy
# machine slows all alike; medians of wall and CPU time (user + system) are
# reported, and the ratios are taken between medians of the same run.
#
# Usage: bench/tool_bench.sh [BUILD_DIR | path/to/brenvox.exe] [path/to/old/brenvox.exe]
# Environment: BENCH_RUNS (default 7), BENCH_SIZE_MB (default 200),
#   BENCH_FILES (default 10000), BENCH_OLD_TOOL (instead of the second argument).
# Needs root for the one-time apt-get install of vcdimager and ffmpeg, and a C
# compiler (cc) for the program that times each run.
set -euo pipefail

tool_path() {
  if [ -d "$1" ]; then echo "$1/bin/brenvox.exe"; else echo "$1"; fi
}
tool="$(tool_path "${1:-build}")"
[ -x "$tool" ] || { echo "no brenvox.exe at $tool (build it: cmake --build build --target brenvox_tool)" >&2; exit 1; }
tool="$(realpath "$tool")"
old="${2:-${BENCH_OLD_TOOL:-}}"
if [ -n "$old" ]; then
  old="$(tool_path "$old")"
  [ -x "$old" ] || { echo "no old brenvox.exe at $old" >&2; exit 1; }
  old="$(realpath "$old")"
fi
runs="${BENCH_RUNS:-7}"
size_mb="${BENCH_SIZE_MB:-200}"
files="${BENCH_FILES:-10000}"
block=1204224  # 512 sectors of 2352 bytes

need=()
for p in vcdimager ffmpeg; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ "${#need[@]}" -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${need[@]}" >/dev/null
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/brenvox-bench.XXXXXX")"
shm=""
if [ "$(stat -f -c %T /dev/shm 2>/dev/null)" = tmpfs ]; then shm="$(mktemp -d /dev/shm/brenvox-bench.XXXXXX)"; fi
trap 'rm -rf "$work" ${shm:+"$shm"}' EXIT
cd "$work"

cat > measure.c <<'C'
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
int main(int argc, char** argv) {
  if (argc < 3) return 2;
  struct timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t pid = fork();
  if (pid == 0) { execvp(argv[2], argv + 2); _exit(127); }
  int status = 0;
  struct rusage use;
  if (pid < 0 || wait4(pid, &status, 0, &use) != pid) return 2;
  clock_gettime(CLOCK_MONOTONIC, &end);
  FILE* out = fopen(argv[1], "w");
  if (!out) return 2;
  fprintf(out, "%.6f %.6f %ld\n", (end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) / 1e9,
          use.ru_utime.tv_sec + use.ru_stime.tv_sec + (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6,
          use.ru_maxrss);
  return fclose(out) == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
C
"${CC:-cc}" -O2 -o measure measure.c

echo "Preparing the payloads in $work ..."
head -c "$((size_mb * 1024 * 1024))" /dev/urandom > data.bin
ffmpeg -loglevel error -f lavfi -i testsrc=size=352x240:rate=30000/1001 -f lavfi -i sine \
  -t 30 -target ntsc-vcd clip.mpg
clip_bytes=$(stat -c %s clip.mpg)
copies=$(( (size_mb * 1024 * 1024 + clip_bytes - 1) / clip_bytes ))
for _ in $(seq "$copies"); do echo "file 'clip.mpg'"; done > list.txt
ffmpeg -loglevel error -f concat -safe 0 -i list.txt -c copy -f vcd stream.mpg
mkdir small
small_args=()
small_files=()
for i in $(seq -w 1 "$files"); do
  head -c $(( 500 + 10#$i % 1500 )) data.bin > "small/f$i.dat"
  small_args+=(-f "small/f$i.dat")
  small_files+=("small/f$i.dat")
done
cat data.bin stream.mpg clip.mpg small/* > /dev/null   # warm the page cache

median() { sort -g | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

# measured COMMAND...: runs COMMAND and writes "wall cpu rss_kb" of it alone
# to time.txt, wall and CPU time (user + system) to the microsecond: GNU
# time's figures come in 10 ms steps and each is cut down, which at 10,000
# small files reads up to 2 us per file low. A small C program starts the
# command (an interpreter would lend the command its own memory and start-up
# until the exec).
measured() { ./measure time.txt "$@"; }

# once NAME OUTPUT COMMAND...: one run; appends "wall cpu rss_kb" to NAME.runs.
once() {
  local name="$1" out="$2"; shift 2
  rm -f "$out" "${out%.bin}.cue"
  # What an earlier run left unwritten (a plain dd syncs nothing) goes to the
  # disk now, untimed, rather than during this run: else the first writer of
  # each round pays for the round before.
  sync
  measured "$@" > /dev/null 2> err.txt || { cat err.txt >&2; exit 1; }
  cat time.txt >> "$name.runs"
  if [ -e "$out" ]; then stat -c %s "$out" > "$name.bytes"; else echo 0 > "$name.bytes"; fi
  rm -f "$out"
}

wall() { awk '{print $1}' "$1.runs" | median; }
cpu() { awk '{print $2}' "$1.runs" | median; }
rss_mb() { awk '{print $3}' "$1.runs" | sort -n | tail -1 | awk '{printf "%.1f", $1 / 1024}'; }
rate() { awk -v b="$(cat "$1.bytes")" -v t="$(wall "$1")" 'BEGIN {printf "%.0f", b / 1e6 / (t > 0 ? t : 0.001)}'; }
# ratio A B: how many times faster A is than B (wall time, same bytes written).
ratio() { awk -v a="$(wall "$1")" -v b="$(wall "$2")" 'BEGIN {printf "%.2f", b / (a > 0 ? a : 0.001)}'; }

# workload NAME: alternating runs of every writer on one payload.
# on_tmpfs NAME FLAGS INPUT: the tool (old and new) and a plain dd writing to /dev/shm.
on_tmpfs() {
  [ -n "$shm" ] || return 0
  [ -z "$old" ] || once shm_old_$1 "$shm/o.bin" "$old" -o "$shm/o" $2 "$3"
  once shm_new_$1 "$shm/n.bin" "$tool" -o "$shm/n" $2 "$3"
  once shm_dd_$1 "$shm/d.bin" dd if="$3" of="$shm/d.bin" bs=$block status=none
}
form1() {
  [ -z "$old" ] || once old_$1 o.bin "$old" -o o -s -f data.bin
  once new_$1 n.bin "$tool" -o n -s -f data.bin
  once vcd_$1 v.bin vcdimager -t vcd2 -c v.cue -b v.bin --add-file=data.bin,DATA.BIN clip.mpg
  once dd_$1 d.bin dd if=data.bin of=d.bin bs=$block status=none
  once ddsync_$1 d.bin dd if=data.bin of=d.bin bs=$block conv=fsync status=none
  on_tmpfs "$1" "-s -f" data.bin
}
form2() {
  [ -z "$old" ] || once old_$1 o.bin "$old" -o o -m stream.mpg
  once new_$1 n.bin "$tool" -o n -m stream.mpg
  once vcd_$1 v.bin vcdimager -t vcd2 -c v.cue -b v.bin stream.mpg
  once dd_$1 d.bin dd if=stream.mpg of=d.bin bs=$block status=none
  once ddsync_$1 d.bin dd if=stream.mpg of=d.bin bs=$block conv=fsync status=none
  on_tmpfs "$1" "-m" stream.mpg
}
small() {
  [ -z "$old" ] || once old_$1 o.bin "$old" -o o "${small_args[@]}"
  once new_$1 n.bin "$tool" -o n "${small_args[@]}"
  once cat_$1 none cat -- "${small_files[@]}"
}

for w in form1 form2 small; do
  echo "timing $w ($runs rounds) ..."
  for _ in $(seq "$runs"); do "$w" "$w"; done
done

echo
echo "Disk: $work on $(stat -f -c %T "$work"); tmpfs: ${shm:-none}"
echo "Load while timing (1, 5, 15 min): $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) processors"
echo "Medians of $runs alternating rounds; MB/s = image (or dd output) bytes / wall time."
echo
col() { if [ -n "$old" ]; then echo "$1"; else echo "-"; fi; }
printf '%-34s | %14s | %14s | %14s | %14s\n' "payload" "before (old)" "after (new)" "vcdimager" "dd copy"
printf '%-34s-+-%14s-+-%14s-+-%14s-+-%14s\n' "----------------------------------" "--------------" "--------------" "--------------" "--------------"
for w in form1 form2; do
  label=$([ "$w" = form1 ] && echo "$size_mb MiB random file, Form 1" || echo "$(( $(stat -c %s stream.mpg) / 1000000 )) MB MPEG, Form 2")
  printf '%-34s | %9s MB/s | %9s MB/s | %9s MB/s | %9s MB/s\n' "$label" \
    "$(col "$(rate old_$w 2>/dev/null || true)")" "$(rate new_$w)" "$(rate vcd_$w)" "$(rate dd_$w)"
  printf '%-34s | %11s s | %11s s | %11s s | %11s s\n' "  wall time" \
    "$(col "$(wall old_$w 2>/dev/null || true)")" "$(wall new_$w)" "$(wall vcd_$w)" "$(wall dd_$w)"
  printf '%-34s | %11s s | %11s s | %11s s | %11s s\n' "  CPU time (user + system)" \
    "$(col "$(cpu old_$w 2>/dev/null || true)")" "$(cpu new_$w)" "$(cpu vcd_$w)" "$(cpu dd_$w)"
  printf '%-34s | %11s MB | %11s MB | %11s MB | %11s MB\n' "  peak memory (max RSS)" \
    "$(col "$(rss_mb old_$w 2>/dev/null || true)")" "$(rss_mb new_$w)" "$(rss_mb vcd_$w)" "$(rss_mb dd_$w)"
  if [ -n "$old" ]; then
    printf '%-34s | %14s | %14s | %14s | %14s\n' "  x vcdimager / wall vs dd" \
      "$(ratio old_$w vcd_$w)x / $(ratio dd_$w old_$w)x" "$(ratio new_$w vcd_$w)x / $(ratio dd_$w new_$w)x" "" ""
  else
    printf '%-34s | %14s | %14s | %14s | %14s\n' "  x vcdimager / wall vs dd" \
      "-" "$(ratio new_$w vcd_$w)x / $(ratio dd_$w new_$w)x" "" ""
  fi
done
per_file() { awk -v t="$(cpu "$1")" -v n="$files" 'BEGIN {printf "%.1f", t * 1e6 / n}'; }
printf '%-34s | %11s us | %11s us | %14s | %14s\n' "$files small files: CPU per file" \
  "$(col "$(per_file old_small 2>/dev/null || true)")" "$(per_file new_small)" "-" "-"
printf '%-34s | %14s | %14s | %14s | %11s us\n' "  cat of the same files: per file" "-" "-" "-" "$(per_file cat_small)"
printf '%-34s | %11s s | %11s s | %14s | %14s\n' "  wall time" \
  "$(col "$(wall old_small 2>/dev/null || true)")" "$(wall new_small)" "-" "-"
printf '%-34s | %11s MB | %11s MB | %14s | %14s\n' "  peak memory (max RSS)" \
  "$(col "$(rss_mb old_small 2>/dev/null || true)")" "$(rss_mb new_small)" "-" "-"
# times A B: wall time of A as a multiple of B's (medians).
times() { awk -v a="$(wall "$1")" -v b="$(wall "$2")" 'BEGIN {printf "%.2f", a / (b > 0 ? b : 0.001)}'; }
# goal TEXT VALUE LIMIT: one goal line, met when VALUE <= LIMIT.
goal() { awk -v t="$1" -v v="$2" -v l="$3" 'BEGIN {printf "  %-58s %8s (goal <= %s) %s\n", t, v, l, (v + 0 <= l + 0) ? "met" : "MISSED"}'; }
echo
echo "Goals (wall time as a multiple of the copy's, medians of the same rounds):"
for w in form1 form2; do
  label=$([ "$w" = form1 ] && echo "Form 1" || echo "Form 2")
  goal "$label: tool / dd conv=fsync into a new file, same disk" "$(times new_$w ddsync_$w)x" 1.2
  [ -z "$shm" ] || goal "$label: tool / plain dd, on tmpfs" "$(times shm_new_$w shm_dd_$w)x" 1.4
  [ -z "$old" ] || goal "$label: (before) tool / dd conv=fsync" "$(times old_$w ddsync_$w)x" 1.2
  [ -z "$old" ] || [ -z "$shm" ] || goal "$label: (before) tool / plain dd, on tmpfs" "$(times shm_old_$w shm_dd_$w)x" 1.4
done
goal "CPU per file at $files files, us" "$(per_file new_small)" 10
[ -z "$old" ] || goal "(before) CPU per file at $files files, us" "$(per_file old_small)" 10
echo "  (cat of the same files, the same rounds: $(per_file cat_small) us per file;" \
  "tool / cat: $(awk -v a="$(cpu new_small)" -v b="$(cpu cat_small)" 'BEGIN {printf "%.2f", a / (b > 0 ? b : 0.001)}')x)"
for w in form1 form2 small; do goal "peak memory, $w, MB" "$(rss_mb new_$w)" 64; done
echo "Also: >= 5x vcdimager on Form 1, >= 8x on Form 2 (the table's x vcdimager)."
echo "EDC + ECC against a 2 KB memcpy: build/bin/sector_bench (Google Benchmark)."
