#!/usr/bin/env bash
# The bash completion of itn2brinlow-cli, driven as bash drives it: a table of command lines
# (as typed, and split into words the way bash splits them, at blanks and at "=") and the
# completions expected.
# Usage: completion_test.sh <completion file>
set -uo pipefail
completion=$1
source /usr/share/bash-completion/bash_completion || { echo "FAIL: bash-completion is not installed"; exit 1; }
source "$completion"

work=$(mktemp -d "${TMPDIR:-/tmp}/itn2brinlow-completion.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
touch roads.gml urban.GZ notes.txt
mkdir folder

status=0
# expect EXPECTED LINE WORD...: the sorted completions, joined by blanks.
expect() {
    local expected=$1 line=$2
    shift 2
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    _itn2brinlow_cli itn2brinlow-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//')
    if [ "$got" != "$expected" ]; then
        echo "FAIL: \"$line\": expected \"$expected\", got \"$got\""
        status=1
    fi
}

expect "csv geojson gml2 kml mif shp tab" "itn2brinlow-cli --format=" itn2brinlow-cli --format = ""
expect "geojson gml2"                     "itn2brinlow-cli --format=g" itn2brinlow-cli --format = g
expect "csv geojson gml2 kml mif shp tab" "itn2brinlow-cli -f " itn2brinlow-cli -f ""
expect "off on"                           "itn2brinlow-cli --turn-restrictions=" itn2brinlow-cli --turn-restrictions = ""
expect "off"                              "itn2brinlow-cli --avoid-pattern=of" itn2brinlow-cli --avoid-pattern = of
expect "cm inch"                          "itn2brinlow-cli --max-height-unit=" itn2brinlow-cli --max-height-unit = ""
expect "1250 1251 1252 1253 1254 1255 1256" "itn2brinlow-cli --codepage=12" itn2brinlow-cli --codepage = 12
# Input files: GML, XML and gzip files (any letter case) and folders, nothing else.
expect "folder roads.gml urban.GZ"        "itn2brinlow-cli --roads=" itn2brinlow-cli --roads = ""
expect "folder roads.gml urban.GZ"        "itn2brinlow-cli --urban " itn2brinlow-cli --urban ""
# The output folder: folders only.
expect "folder"                           "itn2brinlow-cli -o " itn2brinlow-cli -o ""
expect "folder"                           "itn2brinlow-cli --out=" itn2brinlow-cli --out = ""
# Option names.
expect "--attribute2= --attribute4= --attributec=" "itn2brinlow-cli --attr" itn2brinlow-cli --attr
expect "--geojson-wgs84"                  "itn2brinlow-cli --geo" itn2brinlow-cli --geo
expect "--quiet"                          "itn2brinlow-cli --qu" itn2brinlow-cli --qu
# Nothing after options that take no value and end the program.
expect ""                                 "itn2brinlow-cli --version " itn2brinlow-cli --version ""
exit $status
