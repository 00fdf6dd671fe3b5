#!/usr/bin/env bash
# Benchmark of the streaming XML reader: generates road files with tools/gen_itn (outside the
# repository), runs one reading pass with phase-1-like handlers (bench/read_pass) over each on
# a warm cache, and prints MB/s and peak memory (from /usr/bin/time -v).
#
# Usage: tools/bench_reader.sh [--sizes "200M 1G 4G"] [--dir DIR] [--repeat N] [--keep]
#   --sizes   approximate file sizes to generate (K, M, G suffixes; default "1G 4G")
#   --dir     where the files go (default $TMPDIR/itn-bench); deleted afterwards unless --keep
#   --repeat  passes per measurement, the best is reported (default 3)
# Environment: ITN_BUILD_DIR (default build-reader) is the CMake build directory used.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

sizes="1G 4G"
dir=${TMPDIR:-/tmp}/itn-bench
repeat=3
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --sizes) sizes=$2; shift 2 ;;
    --dir) dir=$2; shift 2 ;;
    --repeat) repeat=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "usage: $0 [--sizes \"1G 4G\"] [--dir DIR] [--repeat N] [--keep]" >&2; exit 2 ;;
  esac
done

build=${ITN_BUILD_DIR:-build-reader}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target gen_itn read_pass >/dev/null
gen="$root/$build/tools/gen_itn/gen_itn"
pass="$root/$build/bench/read_pass"
[ -x /usr/bin/time ] || { echo "bench_reader: /usr/bin/time is missing (apt-get install time)" >&2; exit 1; }

bytes_of() {  # "1G" -> bytes
  local n=${1%[KkMmGg]} unit=${1: -1}
  case "$unit" in
    K|k) echo $((n * 1024)) ;; M|m) echo $((n * 1024 * 1024)) ;; G|g) echo $((n * 1024 * 1024 * 1024)) ;;
    *) echo "$1" ;;
  esac
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(free -g | awk '/Mem:/ {print $2}') GiB RAM"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-6s %12s %10s %10s %12s %14s %14s\n' size bytes MB/s MB/cpu-s peak_RSS_KiB "RSS(no tables)" reader_nodes
for size in $sizes; do
  out="$dir/reader-$size"
  mkdir -p "$out"
  # gen_itn writes about 1,600 bytes of roads-layer GML per road link at these sizes.
  links=$(( $(bytes_of "$size") / 1600 ))
  "$gen" --links "$links" --out "$out" --force >/dev/null
  file="$out/roads_0001.gml"
  cat "$file" >/dev/null  # warm cache
  log="$out/time.log"
  /usr/bin/time -v "$pass" --repeat "$repeat" "$file" >"$out/pass.txt" 2>"$log"
  /usr/bin/time -v "$pass" --no-tables --repeat 1 "$file" >"$out/pass_nt.txt" 2>"$log.nt"
  bytes=$(awk '/^bytes/ {print $2}' "$out/pass.txt")
  mbs=$(awk '/^MB_per_s/ {print $2}' "$out/pass.txt")
  mbc=$(awk '/^MB_per_cpu_s/ {print $2}' "$out/pass.txt")
  nodes=$(awk '/^reader_node_objs/ {print $2}' "$out/pass.txt")
  rss=$(awk -F: '/Maximum resident set size/ {gsub(/ /,"",$2); print $2}' "$log")
  rss_nt=$(awk -F: '/Maximum resident set size/ {gsub(/ /,"",$2); print $2}' "$log.nt")
  printf '%-6s %12s %10s %10s %12s %14s %14s\n' "$size" "$bytes" "$mbs" "$mbc" "$rss" "$rss_nt" "$nodes"
  if [ "$keep" -eq 0 ]; then rm -rf "$out"; fi
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "MB = 10^6 bytes; MB/s is wall clock (best of $repeat passes), MB/cpu-s is per second of CPU time."
echo "peak_RSS with phase 1 tables (VersionList etc. grow with the number of features);"
echo "RSS(no tables): the same handlers keeping no per-feature table, i.e. the reader alone."
