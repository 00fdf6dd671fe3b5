#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the tools need.
# Safe to run again; needs root (or sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  zlib1g-dev libisal-dev libpugixml-dev libcli11-dev libproj-dev
  qt6-base-dev libgl-dev
  libgdal-dev gdal-bin
  libgtest-dev libgmock-dev
  dpkg-dev man-db bash-completion
  gzip python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
