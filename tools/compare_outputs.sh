#!/usr/bin/env bash
# Runs two builds of itn2brinlow-cli on the same data with several option sets and every output
# format, and compares every output file byte for byte (cmp). Exit status 0 when all are equal;
# a run that both builds refuse with the same exit status and message counts as equal.
#
# Usage: tools/compare_outputs.sh [options] CLI_A CLI_B DATA_DIR OUT_DIR
#   DATA_DIR holds roads_*.gml / .xml / .gz (read in name order) and optionally urban_paths*.
#   OUT_DIR receives a/<format>-<set>/ and b/<format>-<set>/ (emptied first).
#   Sets 1 to 3 read the urban paths files when there are any, sets 4 and 5 never do.
# Options:
#   --data-b DIR      CLI_B reads this folder instead (e.g. the same data compressed with gzip;
#                     its files are matched to DATA_DIR's by order)
#   --formats "F..."  output formats (default: mif shp tab gml2 kml geojson csv)
#   --sets "N..."     option sets to run, of 1 2 3 4 5 (default: all)
#   --roads GLOB      names of the road files in the data folders (default roads_*)
#   --urban GLOB      names of the urban paths files (default urban_paths*)
set -euo pipefail

formats="mif shp tab gml2 kml geojson csv"
sets="1 2 3 4 5"
data_b=""
roads_glob="roads_*"
urban_glob="urban_paths*"
while [ $# -gt 0 ]; do
  case "$1" in
    --data-b) data_b=$2; shift 2 ;;
    --formats) formats=$2; shift 2 ;;
    --sets) sets=$2; shift 2 ;;
    --roads) roads_glob=$2; shift 2 ;;
    --urban) urban_glob=$2; shift 2 ;;
    -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
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

# The --roads arguments (and with "urban" the --urban arguments) for the files of one folder.
inputs_of() {
  local folder=$1 urban=$2 f
  shopt -s nullglob
  # shellcheck disable=SC2086
  for f in "$folder"/$roads_glob.gml "$folder"/$roads_glob.xml "$folder"/$roads_glob.gz; do
    printf '%s\n' "--roads=$f"
  done | sort
  if [ "$urban" = urban ]; then
    # shellcheck disable=SC2086
    for f in "$folder"/$urban_glob; do printf '%s\n' "--urban=$f"; done | sort
  fi
  shopt -u nullglob
}
mapfile -t args_a < <(inputs_of "$data_a" urban)
mapfile -t args_b < <(inputs_of "$data_b" urban)
mapfile -t roads_a < <(inputs_of "$data_a" none)
mapfile -t roads_b < <(inputs_of "$data_b" none)
if [ ${#roads_a[@]} -eq 0 ]; then
  echo "compare_outputs.sh: no $roads_glob files in $data_a" >&2
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
    4) echo "--turn-restrictions=on --max-height-unit=cm --attribute2=on" ;;
    5) echo "--split-loop-links=off --attribute4=off --avoid-pattern=off --attributec=on" ;;
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
    if [ "$set" -ge 4 ]; then
      inputs_a=("${roads_a[@]}") inputs_b=("${roads_b[@]}")
    else
      inputs_a=("${args_a[@]}") inputs_b=("${args_b[@]}")
    fi
    status_a=0 status_b=0
    "$cli_a" --out="$out/a/$name" --format="$format" --quiet "${options[@]}" "${inputs_a[@]}" \
      >"$out/a/$name.stdout" 2>"$out/a/$name.stderr" || status_a=$?
    "$cli_b" --out="$out/b/$name" --format="$format" --quiet "${options[@]}" "${inputs_b[@]}" \
      >"$out/b/$name.stdout" 2>"$out/b/$name.stderr" || status_b=$?
    if [ "$status_a" != 0 ] && [ "$status_a" = "$status_b" ] &&
      [ "$(sed "s#$out/a/#OUT/#g" "$out/a/$name.stderr")" = "$(sed "s#$out/b/#OUT/#g" "$out/b/$name.stderr")" ]; then
      # Both refuse the input with the same message: they agree.
      echo "$name: both failed alike (exit status $status_a): $(head -c 200 "$out/a/$name.stderr")"
      continue
    fi
    if [ "$status_a" != 0 ] || [ "$status_b" != 0 ]; then
      echo "$name: exit status $status_a (A) and $status_b (B); see $out/a/$name.stderr, $out/b/$name.stderr"
      failures=$((failures + 1))
      continue
    fi
    # Warnings (on stderr even with --quiet) are part of the result.
    if ! cmp -s "$out/a/$name.stderr" "$out/b/$name.stderr"; then
      echo "$name: different warnings; see $out/a/$name.stderr, $out/b/$name.stderr"
      failures=$((failures + 1))
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
