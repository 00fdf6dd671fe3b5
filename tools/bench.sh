#!/usr/bin/env bash
# Benchmark of the road job: generates synthetic ITN road files with tools/gen_itn, converts
# them to MIF/MID (or the --format given) with itn2brinlow-cli (three passes and output) and
# times ogr2ogr on the same files, once extracting only the RoadLink layer and once all layers.
#
# Usage: tools/bench.sh [--links N] [--files K] [--seed S] [--work DIR] [--no-ogr] [--format F]
#                       [--gzip] [--runs R]
#   defaults: --links 5000000 --files 10 --seed 20261210 --work $TMPDIR/itn-bench --format mif
#   (F is an output format of itn2brinlow-cli: mif, shp, tab or gml2)
#   --gzip  gzip mode: the same data also as .gz files (gen_itn --gzip, level 6); converts the
#           plain and the .gz files back to back R times (median wall time, ratio .gz / plain),
#           times ogr2ogr RoadLink only reading the .gz files through /vsigzip/, and the inflate
#           speed of ISA-L and of zlib (a second build with -DITN_FORCE_ZLIB=ON) on one file.
# Generated data is kept under DIR and reused by later runs with the same size and seed.
set -euo pipefail
cd "$(dirname "$0")/.."

links=5000000
files=10
seed=20261210
work=${ITN_BENCH_DIR:-${TMPDIR:-/tmp}/itn-bench}
ogr=1
format=mif
gzip=0
runs=1
while [ $# -gt 0 ]; do
  case "$1" in
    --links) links=$2; shift 2 ;;
    --files) files=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --no-ogr) ogr=0; shift ;;
    --format) format=$2; shift 2 ;;
    --gzip) gzip=1; shift ;;
    --runs) runs=$2; shift 2 ;;
    *) echo "bench.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

build=${ITN_BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DITN_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target itn2brinlow-cli gen_itn -- -j2 >/dev/null
cli="$build/src/cli/itn2brinlow-cli"
gen="$build/tools/gen_itn/gen_itn"

data="$work/data-$links-$files-$seed"
if [ ! -f "$data/.complete" ]; then
  rm -rf "$data"
  echo "generating $links road links in $files files into $data ..."
  "$gen" --links "$links" --files "$files" --seed "$seed" --jobs 2 --out "$data" >/dev/null
  touch "$data/.complete"
fi
roads=("$data"/roads_*.gml)
bytes=$(stat -c %s "${roads[@]}" | awk '{s += $1} END {print s}')
mb=$(awk -v b="$bytes" 'BEGIN {printf "%.1f", b / 1e6}')

if [ "$gzip" = 1 ]; then
  gzdata="$work/data-$links-$files-$seed-gz"
  if [ ! -f "$gzdata/.complete" ]; then
    rm -rf "$gzdata"
    echo "generating the same road links as .gz files into $gzdata ..."
    "$gen" --links "$links" --files "$files" --seed "$seed" --jobs 2 --gzip --out "$gzdata" >/dev/null
    touch "$gzdata/.complete"
  fi
  gzroads=("$gzdata"/roads_*.gz)
  gzbytes=$(stat -c %s "${gzroads[@]}" | awk '{s += $1} END {print s}')
  plain_args=() gz_args=()
  for f in "${roads[@]}"; do plain_args+=("--roads=$f"); done
  for f in "${gzroads[@]}"; do gz_args+=("--roads=$f"); done
  # One conversion: prints "wall peak_kb user sys".
  convert() {
    rm -rf "$work/out-itn"
    /usr/bin/time -f "%e %M %U %S" -o "$work/time.txt" \
      "$cli" --out="$work/out-itn" --format="$format" --quiet "$@" >/dev/null 2>"$work/stderr.txt"
    cat "$work/time.txt"
  }
  median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
  : >"$work/plain.txt"
  : >"$work/gz.txt"
  for ((r = 1; r <= runs; r++)); do
    convert "${plain_args[@]}" | tee -a "$work/plain.txt" | sed "s/^/plain run $r: wall peak_kb user sys = /"
    convert "${gz_args[@]}" | tee -a "$work/gz.txt" | sed "s/^/gz    run $r: wall peak_kb user sys = /"
  done
  plain_s=$(cut -d' ' -f1 "$work/plain.txt" | median)
  gz_s=$(cut -d' ' -f1 "$work/gz.txt" | median)
  gz_kb=$(cut -d' ' -f2 "$work/gz.txt" | sort -n | tail -1)
  plain_kb=$(cut -d' ' -f2 "$work/plain.txt" | sort -n | tail -1)
  plain_cpu=$(awk '{print $3 + $4}' "$work/plain.txt" | median)
  gz_cpu=$(awk '{print $3 + $4}' "$work/gz.txt" | median)
  echo
  echo "road files: ${#roads[@]}, $links road links, $mb MB plain, $(awk -v b="$gzbytes" 'BEGIN {printf "%.1f", b / 1e6}') MB gzip"
  echo "itn2brinlow-cli to $format, medians of $runs runs:"
  echo "  plain: $plain_s s, $(awk -v b="$bytes" -v s="$plain_s" 'BEGIN {printf "%.1f", b / 1e6 / s}') MB/s," \
    "processor $plain_cpu s, peak memory $((plain_kb / 1024)) MB"
  echo "  .gz:   $gz_s s, $(awk -v b="$bytes" -v s="$gz_s" 'BEGIN {printf "%.1f", b / 1e6 / s}') MB/s of plain text," \
    "processor $gz_cpu s, peak memory $((gz_kb / 1024)) MB"
  echo "  .gz / plain: $(awk -v a="$gz_s" -v b="$plain_s" 'BEGIN {printf "%.2f", a / b}') by wall time," \
    "$(awk -v a="$gz_cpu" -v b="$plain_cpu" 'BEGIN {printf "%.2f", a / b}') by processor time"
  if [ "$ogr" = 1 ] && command -v ogr2ogr >/dev/null; then
    rm -rf "$work/ogr-vsigzip"
    mkdir -p "$work/ogr-vsigzip"
    # GDAL keeps no .gfs schema beside a /vsigzip/ input, so it scans each file twice.
    t=0 c=0
    for f in "${gzroads[@]}"; do
      name=$(basename "$f" .gz)
      /usr/bin/time -f "%e %U %S" -o "$work/ogr_time.txt" \
        ogr2ogr -f "MapInfo File" "$work/ogr-vsigzip/$name.mif" "/vsigzip/$f" RoadLink >/dev/null 2>&1
      read -r w u sy <"$work/ogr_time.txt"
      t=$(awk -v a="$t" -v b="$w" 'BEGIN {print a + b}')
      c=$(awk -v a="$c" -v b="$u" -v d="$sy" 'BEGIN {print a + b + d}')
    done
    echo "ogr2ogr RoadLink only through /vsigzip/: $t s, processor $c s; itn2brinlow-cli on .gz is" \
      "$(awk -v a="$t" -v b="$gz_s" 'BEGIN {printf "%.2f", a / b}') times as fast by wall time," \
      "$(awk -v a="$c" -v b="$gz_cpu" 'BEGIN {printf "%.2f", a / b}') by processor time"
  fi
  zbuild="$build-zlib"
  cmake -S . -B "$zbuild" -G Ninja -DCMAKE_BUILD_TYPE=Release -DITN_BUILD_TESTS=OFF -DITN_FORCE_ZLIB=ON >/dev/null
  cmake --build "$build" --target inflate_speed -- -j2 >/dev/null
  cmake --build "$zbuild" --target inflate_speed -- -j2 >/dev/null
  "$build/bench/inflate_speed" --repeat 3 "${gzroads[0]}"
  "$zbuild/bench/inflate_speed" --repeat 3 "${gzroads[0]}"
  exit 0
fi

out="$work/out-itn"
rm -rf "$out"
args=()
for f in "${roads[@]}"; do args+=("--roads=$f"); done
/usr/bin/time -f "%e %M %U %S" -o "$work/time.txt" \
  "$cli" --out="$out" --format="$format" --phase-times --quiet "${args[@]}" >"$work/messages.txt" 2>"$work/phases.txt"
read -r seconds peak_kb user_s sys_s <"$work/time.txt"
rate=$(awk -v b="$bytes" -v s="$seconds" 'BEGIN {printf "%.1f", b / 1e6 / s}')

echo
echo "road files: ${#roads[@]}, $links road links, $mb MB"
echo "itn2brinlow-cli to $format: $seconds s, $rate MB/s, peak memory $((peak_kb / 1024)) MB" \
  "(user $user_s s, sys $sys_s s)"
# Lines "Phase 1 / 3: 4.996 s, cpu 3.100 s (main thread 2.000 s)": wall and processor seconds
# of all threads and of the thread that parses.
while IFS= read -r line; do
  phase=${line%%:*}
  s=$(echo "${line#*: }" | awk '{print $1}')
  cpu=$(echo "${line#*cpu }" | awk '{print $1}')
  main=$(echo "${line#*main thread }" | awk '{print $1}')
  # The urban passes of a run without urban files take no time.
  [ "$s" = "0.000" ] && continue
  echo "  $phase: $s s, $(awk -v b="$bytes" -v s="$s" 'BEGIN {printf "%.1f", b / 1e6 / s}') MB/s;" \
    "processor $cpu s (main thread $main s), $(awk -v b="$bytes" -v s="$cpu" 'BEGIN {printf "%.1f", b / 1e6 / s}')" \
    "MB per processor-second"
done <"$work/phases.txt"

if [ "$ogr" = 1 ] && command -v ogr2ogr >/dev/null; then
  # GDAL writes a .gfs schema next to each input on its first read; make it once, untimed.
  for f in "${roads[@]}"; do [ -f "${f%.gml}.gfs" ] || ogrinfo -ro -so "$f" >/dev/null 2>&1 || true; done
  # Wall, user and system seconds of one command.
  time_of() { /usr/bin/time -f "%e %U %S" -o "$work/ogr_time.txt" "$@" >/dev/null 2>&1; cat "$work/ogr_time.txt"; }
  rm -rf "$work/ogr-roadlink" "$work/ogr-all"
  mkdir -p "$work/ogr-roadlink" "$work/ogr-all"
  t_link=0 c_link=0 t_all=0 c_all=0
  for f in "${roads[@]}"; do
    name=$(basename "$f" .gml)
    read -r w u sy < <(time_of ogr2ogr -f "MapInfo File" "$work/ogr-roadlink/$name.mif" "$f" RoadLink)
    t_link=$(awk -v a="$t_link" -v b="$w" 'BEGIN {print a + b}')
    c_link=$(awk -v a="$c_link" -v b="$u" -v c="$sy" 'BEGIN {print a + b + c}')
    read -r w u sy < <(time_of ogr2ogr -f "MapInfo File" -dsco FORMAT=MIF "$work/ogr-all/$name" "$f")
    t_all=$(awk -v a="$t_all" -v b="$w" 'BEGIN {print a + b}')
    c_all=$(awk -v a="$c_all" -v b="$u" -v c="$sy" 'BEGIN {print a + b + c}')
  done
  cpu=$(awk -v a="$user_s" -v b="$sys_s" 'BEGIN {print a + b}')
  report() {  # label, wall seconds, processor seconds
    echo "ogr2ogr $1: $2 s, $(awk -v b="$bytes" -v s="$2" 'BEGIN {printf "%.1f", b / 1e6 / s}') MB/s," \
      "processor $3 s; itn2brinlow-cli is $(awk -v a="$2" -v b="$seconds" 'BEGIN {printf "%.2f", a / b}')" \
      "times as fast by wall time, $(awk -v a="$3" -v b="$cpu" 'BEGIN {printf "%.2f", a / b}') by processor time"
  }
  report "RoadLink layer only" "$t_link" "$c_link"
  report "all layers" "$t_all" "$c_all"
fi
