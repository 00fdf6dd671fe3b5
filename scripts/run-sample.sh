#!/usr/bin/env bash
# Builds the command-line converter and converts the bundled sample road and urban paths
# files into out/ as MIF/MID, with turn restrictions, then says where the files are.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${ITN_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target itn2brinlow-cli

shopt -s nullglob
roads=()
for f in data/sample/roads_*.gml data/sample/roads_*.gz; do roads+=("--roads=$f"); done
if [ ${#roads[@]} -eq 0 ]; then
  echo "run-sample: no road files in data/sample" >&2
  exit 1
fi
urban=()
for f in data/sample/urban_*.gml data/sample/urban_*.gz; do urban+=("--urban=$f"); done

"$build/src/cli/itn2brinlow-cli" --out=out --format=mif --turn-restrictions=on "${roads[@]}" "${urban[@]}"
echo
echo "Output files in $(pwd)/out:"
for f in out/*; do echo "  $f"; done
