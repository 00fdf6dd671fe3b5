#!/usr/bin/env bash
# Every man page formats without a warning of man, groff or the man macros.
# Usage: man_pages_test.sh <folder of the pages>
set -euo pipefail
folder=$1
status=0
for page in "$folder"/*.1; do
    out=$(mktemp)
    # --warnings turns on groff's warnings; anything on stderr is one.
    LC_ALL=C.UTF-8 MANWIDTH=80 MANROFFSEQ='' man --warnings -E UTF-8 -l "$page" >"$out" 2>"$out.err" || {
        echo "FAIL: man exits with $? on $page"; status=1; }
    if [ -s "$out.err" ]; then
        echo "FAIL: warnings for $page:"; cat "$out.err"; status=1
    fi
    # A page that formats to almost nothing is broken too (a stray macro eats the text).
    lines=$(wc -l <"$out")
    if [ "$lines" -lt 40 ]; then
        echo "FAIL: $page formats to only $lines lines"; status=1
    fi
    for section in NAME SYNOPSIS DESCRIPTION "SEE ALSO"; do
        grep -q "^$section" "$out" || { echo "FAIL: $page has no $section section"; status=1; }
    done
    rm -f "$out" "$out.err"
done
exit $status
