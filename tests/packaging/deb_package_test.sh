#!/usr/bin/env bash
# Builds the .deb from the build tree, checks its contents and its computed dependencies,
# unpacks it into a scratch root (dpkg -x) and runs the unpacked programs there: the command
# line starts, and converts the sample to TAB with the unpacked TAB module, which ogrinfo reads.
# Usage: deb_package_test.sh <build folder> <sample folder> <version>
set -euo pipefail
build=$1
sample=$2
version=$3
scratch=$(mktemp -d "${TMPDIR:-/tmp}/itn2brinlow-deb.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

arch=$(dpkg --print-architecture)
deb=$scratch/pkg/itn2brinlow_${version}_${arch}.deb
(cd "$build" && cpack -G DEB -B "$scratch/pkg") >"$scratch/cpack.log" 2>&1 || {
    cat "$scratch/cpack.log"; fail "cpack -G DEB failed"; }
[ -f "$deb" ] || { ls "$scratch/pkg"; fail "no $(basename "$deb")"; }

# Contents.
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' >"$scratch/contents"
for pattern in \
    '^/usr/bin/itn2brinlow$' \
    '^/usr/bin/itn2brinlow-cli$' \
    '^/usr/lib/([^/]+/)?itn2brinlow/libitn2brinlow-tab\.so$' \
    '^/usr/share/doc/itn2brinlow/manual\.html$' \
    '^/usr/share/doc/itn2brinlow/sample-network\.png$' \
    '^/usr/share/applications/itn2brinlow\.desktop$' \
    '^/usr/share/icons/hicolor/scalable/apps/itn2brinlow\.svg$' \
    '^/usr/share/icons/hicolor/256x256/apps/itn2brinlow\.png$' \
    '^/usr/share/man/man1/itn2brinlow\.1\.gz$' \
    '^/usr/share/man/man1/itn2brinlow-cli\.1\.gz$' \
    '^/usr/share/bash-completion/completions/itn2brinlow-cli$'; do
    grep -qE "$pattern" "$scratch/contents" || fail "the package lacks $pattern"
done
# Nothing of the build or the tests.
if grep -qE '(test|fake_mitab|gen_itn|\.a$|/include/)' "$scratch/contents"; then
    grep -E '(test|fake_mitab|gen_itn|\.a$|/include/)' "$scratch/contents"; fail "the package holds build files"
fi

# Dependencies computed by dpkg-shlibdeps: the C library, Qt for the window, GDAL for the module.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6widgets6 libgdal; do
    [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = itn2brinlow ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version $(dpkg-deb -f "$deb" Version)"

# Unpacked into a scratch root and run from there.
root=$scratch/root
dpkg -x "$deb" "$root"
cli=$root/usr/bin/itn2brinlow-cli
unset ITN2BRINLOW_TAB_MODULE
# The installed man pages are the pages of the source tree.
man -l "$root/usr/share/man/man1/itn2brinlow-cli.1.gz" 2>/dev/null | grep -q 'itn2brinlow-cli' ||
    fail "the installed man page does not format"
ldd "$root/usr/bin/itn2brinlow" | grep -q 'not found' && fail "itn2brinlow misses a library"
"$cli" --help >"$scratch/help" || fail "itn2brinlow-cli --help exits with $?"
if grep -q -- '--version' "$scratch/help"; then
    "$cli" --version >"$scratch/version" || fail "itn2brinlow-cli --version exits with $?"
    grep -q "$version" "$scratch/version" || fail "--version does not say $version: $(cat "$scratch/version")"
fi

convert() {  # format, output folder
    "$cli" --out="$2" --format="$1" --roads="$sample/roads_0001.gml" --roads="$sample/roads_0002.gz" \
        --urban="$sample/urban_paths.gml" >"$scratch/$1.out" 2>"$scratch/$1.err" ||
        { cat "$scratch/$1.err"; fail "the $1 conversion exits with $?"; }
}
# The loader's record of which TAB module it initialised: the one in the scratch root.
LD_DEBUG=libs LD_DEBUG_OUTPUT=$scratch/ld convert tab "$scratch/tab"
grep -h 'calling init: .*libitn2brinlow-tab\.so' "$scratch"/ld.* >"$scratch/module" || true
[ -s "$scratch/module" ] || { cat "$scratch/tab.err"; fail "the TAB module was not loaded"; }
grep -q "calling init: $root/" "$scratch/module" || fail "the TAB module came from elsewhere: $(cat "$scratch/module")"
grep -qi 'creating MIF' "$scratch/tab.err" && fail "TAB fell back to MIF: $(cat "$scratch/tab.err")"
[ -f "$scratch/tab/ITN_network.tab" ] || fail "no ITN_network.tab"

# ogrinfo reads the TAB file with as many records as the MIF/MID of the same run.
convert mif "$scratch/mif"
count() { ogrinfo -ro -so "$1" ITN_network | sed -n 's/^Feature Count: //p'; }
tab_count=$(count "$scratch/tab/ITN_network.tab")
mif_count=$(count "$scratch/mif/ITN_network.mif")
[ -n "$tab_count" ] && [ "$tab_count" -gt 0 ] || fail "ogrinfo reads no features from the TAB file"
[ "$tab_count" = "$mif_count" ] || fail "TAB has $tab_count records, MIF $mif_count"
echo "ok: $(basename "$deb"), $tab_count records in TAB through the unpacked module"
