#!/usr/bin/env bash
# Installs the Debian 12 packages Lumaref needs to build, test and run; only what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev
  libsqlite3-dev sqlite3 libutf8proc-dev
  libpq-dev postgresql-15 postgresql-common
  mdbtools-dev libcsv-dev libxlsxwriter-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format clang-tidy clang-tidy-22 libclang-rt-14-dev ccache
  xvfb xauth fonts-dejavu-core fonts-dejavu-extra unzip
  x11-utils x11-apps xdotool netpbm
  debhelper dpkg-dev lintian desktop-file-utils appstream man-db librsvg2-bin
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

run_as_root=()
if [ "$(id -u)" -ne 0 ]; then run_as_root=(sudo); fi
echo "Installing: ${missing[*]}"
"${run_as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${run_as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
