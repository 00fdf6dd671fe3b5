#!/usr/bin/env bash
# Runs two builds of itn2brinlow-cli on the same data with several option sets and every output
# format, and compares every output file byte for byte (cmp). Exit status 0 when all are equal.
#
# Usage: tools/compare_outputs.sh [options] CLI_A CLI_B DATA_DIR OUT_DIR
#   DATA_DIR holds roads_*.gml / .xml / .gz (read in name order) and optionally urban_paths*.
#   OUT_DIR receives a/<format>-<set>/ and b/<format>-<set>/ (emptied first).
# Options:
#   --data-b DIR      CLI_B reads this folder instead (e.g. the same data compressed with gzip;
#                     its files are matched to DATA_DIR's by order)
#   --formats "F..."  output formats (default: mif shp tab gml2 kml geojson csv)
#   --sets "N..."     option sets to run, of 1 2 3 (default: all)
set -euo pipefail

formats="mif shp tab gml2 kml geojson csv"
sets="1 2 3"
data_b=""
while [ $# -gt 0 ]; do
  case "$1" in
    --data-b) data_b=$2; shift 2 ;;
    --formats) formats=$2; shift 2 ;;
    --sets) sets=$2; shift 2 ;;
    -h|--help) sed -n '2,14p' "$0"; exit 0 ;;
    --*) echo "compare_outputs.sh: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
if [ $# -ne 4 ]; then
  echo "usage: tools/compare_outputs.sh [options] CLI_A CLI_B DATA_DIR OUT_DIR" >&2
  exit 2
fi
cli_a=$1 cli_b=$2 data_a=$3 out=$4
[ -n "$data_b" ] || data_b=$data_a

# The --roads and --urban arguments for the files of one folder.
inputs_of() {
  local folder=$1 f
  shopt -s nullglob
  for f in "$folder"/roads_*.gml "$folder"/roads_*.xml "$folder"/roads_*.gz; do printf '%s\n' "--roads=$f"; done | sort
  for f in "$folder"/urban_paths*; do printf '%s\n' "--urban=$f"; done | sort
  shopt -u nullglob
}
mapfile -t args_a < <(inputs_of "$data_a")
mapfile -t args_b < <(inputs_of "$data_b")
if [ ${#args_a[@]} -eq 0 ]; then
  echo "compare_outputs.sh: no roads_* files in $data_a" >&2
  exit 2
fi
if [ ${#args_a[@]} -ne ${#args_b[@]} ]; then
  echo "compare_outputs.sh: $data_a and $data_b hold different numbers of input files" >&2
  exit 2
fi

options_of() {
  case "$1" in
    1) echo "" ;;
    2) echo "--turn-restrictions=on --attribute2=on --attributec=on --max-height-unit=cm" ;;
    3) echo "--split-loop-links=off --attribute4=off --avoid-pattern=off --turn-restrictions=on --codepage=1250" ;;
    *) echo "compare_outputs.sh: unknown option set $1" >&2; exit 2 ;;
  esac
}

rm -rf "$out/a" "$out/b"
mkdir -p "$out/a" "$out/b"
failures=0 compared=0
for format in $formats; do
  for set in $sets; do
    name="$format-$set"
    read -r -a options <<<"$(options_of "$set")"
    status_a=0 status_b=0
    "$cli_a" --out="$out/a/$name" --format="$format" --quiet "${options[@]}" "${args_a[@]}" \
      >"$out/a/$name.stdout" 2>"$out/a/$name.stderr" || status_a=$?
    "$cli_b" --out="$out/b/$name" --format="$format" --quiet "${options[@]}" "${args_b[@]}" \
      >"$out/b/$name.stdout" 2>"$out/b/$name.stderr" || status_b=$?
    if [ "$status_a" != 0 ] || [ "$status_b" != 0 ]; then
      echo "$name: exit status $status_a (A) and $status_b (B); see $out/a/$name.stderr, $out/b/$name.stderr"
      failures=$((failures + 1))
      continue
    fi
    files_a=$(cd "$out/a/$name" && find . -type f | sort)
    files_b=$(cd "$out/b/$name" && find . -type f | sort)
    if [ "$files_a" != "$files_b" ]; then
      echo "$name: different output files:"
      diff <(echo "$files_a") <(echo "$files_b") | sed 's/^/  /' || true
      failures=$((failures + 1))
      continue
    fi
    while IFS= read -r f; do
      compared=$((compared + 1))
      if ! cmp -s "$out/a/$name/$f" "$out/b/$name/$f"; then
        echo "$name: ${f#./} differs ($(cmp "$out/a/$name/$f" "$out/b/$name/$f" 2>&1 | head -1))"
        failures=$((failures + 1))
      fi
    done <<<"$files_a"
    echo "$name: $(echo "$files_a" | wc -l) files compared"
  done
done
echo "compared $compared files; $failures differences or failures"
[ "$failures" = 0 ]
