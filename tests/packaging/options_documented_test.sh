#!/usr/bin/env bash
# Every long option that itn2brinlow-cli --help lists is described in its man page and the
# manual and is offered by the bash completion; and the completion offers nothing the man page
# does not describe.
# Usage: options_documented_test.sh <itn2brinlow-cli> <source folder>
set -euo pipefail
cli=$1
src=$2
man_page=$src/docs/man/itn2brinlow-cli.1
manual=$src/docs/manual.html
completion=$src/packaging/bash-completion/itn2brinlow-cli

bash -n "$completion"

options=$("$cli" --help | grep -oE -- '--[a-z0-9][a-z0-9-]*' | sort -u)
[ -n "$options" ] || { echo "FAIL: no options in --help"; exit 1; }
status=0
for option in $options; do
    # In roff a hyphen is written \-.
    roff=${option//-/\\\\-}
    grep -q -- "$roff" "$man_page" || { echo "FAIL: $option is not in $(basename "$man_page")"; status=1; }
    grep -q -- "$option" "$manual" || { echo "FAIL: $option is not in the manual"; status=1; }
    grep -qE -- "(^|[ \"|(])$option([=| \"]|$)" "$completion" || { echo "FAIL: $option is not completed"; status=1; }
done

# Whatever the completion offers is described in the man page as well.
offered=$(grep -oE -- '--[a-z0-9][a-z0-9-]*' "$completion" | sort -u)
for option in $offered; do
    roff=${option//-/\\\\-}
    grep -q -- "$roff" "$man_page" || { echo "FAIL: the completion offers $option, which the man page does not describe"; status=1; }
done
exit $status
