#!/usr/bin/env bash
# Builds the Debian package from the working tree: build/lumaref_<version>_amd64.deb.
#   scripts/package.sh
# Installs what is missing first (debhelper and the build dependencies in debian/control).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"

version=$(dpkg-parsechangelog -l debian/changelog -S Version)
project_version=$(sed -n 's/^project(lumaref VERSION \([^ ]*\) .*/\1/p' CMakeLists.txt)
if [[ $version != "$project_version" ]]; then
  echo "package.sh: debian/changelog says $version, CMakeLists.txt $project_version" >&2
  exit 1
fi
architecture=$(dpkg-architecture -q DEB_HOST_ARCH)

# dpkg-buildpackage writes beside the source folder and builds inside it: a copy of the tracked files
# keeps both out of the working tree.
work=build/package
rm -rf "$work"
mkdir -p "$work/lumaref-$version"
git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' file; do [[ -e $file ]] && printf '%s\0' "$file"; done |
  xargs -0 cp --parents -t "$work/lumaref-$version"
(cd "$work/lumaref-$version" && dpkg-buildpackage --build=binary --no-sign >../build.log 2>&1) || {
  tail -40 "$work/build.log"
  echo "package.sh: the package build failed; the whole log is $work/build.log" >&2
  exit 1
}
deb="lumaref_${version}_${architecture}.deb"
mv "$work/$deb" "build/$deb"
echo "build/$deb"
