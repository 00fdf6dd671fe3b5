#!/usr/bin/env bash
# Builds the Debian package itn2brinlow_<version>_<arch>.deb (programs, TAB module, manual,
# desktop entry, icon, man pages, bash completion) with CPack, into <build>/package/.
# Install it (as root) with: apt install ./build/package/itn2brinlow_*.deb
# The Maintainer field comes from -DITN_PACKAGE_MAINTAINER="Name <address>" at configure time.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${ITN_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build"
(cd "$build" && cpack -G DEB -B "$PWD/package")
ls "$build"/package/*.deb
