#!/usr/bin/env bash
# Builds everything and runs every test. Usage: scripts/test.sh [ctest args...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${ITN_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"
