#!/usr/bin/env bash
# CI: what an installation lays down and does. A DESTDIR install against the checked-in file list,
# the desktop entry, the metainfo and the man pages through their validators, lintian on the Debian
# package, and a first start of the installed program in a fresh home.
#   scripts/check-install.sh [BUILD_DIR]      (default build/release, already built)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build_dir=${1:-build/release}
app_id=io.github.lumaref.Lumaref

fail() {
  echo "check-install.sh: $*" >&2
  exit 1
}

echo "-- DESTDIR install"
dest=$(realpath -m build/install-check)
rm -rf "$dest"
DESTDIR=$dest cmake --install "$build_dir" --prefix /usr >/dev/null
diff -u data/installed-files.txt <(cd "$dest" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort) ||
  fail "the installed files differ from data/installed-files.txt (- expected, + installed)"

echo "-- user guide"
# F1 opens the guide where the package puts it; every picture it shows lies beside it.
guide=$dest/usr/share/doc/lumaref/user-guide.md
[[ -f $guide ]] || fail "no user guide at /usr/share/doc/lumaref/user-guide.md"
while read -r picture; do
  [[ -f $(dirname "$guide")/$picture ]] || fail "the user guide shows $picture, which is not installed"
done < <(grep -o '](images/[^)]*)' "$guide" | sed 's/^](//; s/)$//')

echo "-- desktop entry and metainfo"
desktop-file-validate "$dest/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$dest/usr/share/metainfo/$app_id.metainfo.xml"

echo "-- man pages"
for page in lumaref lumaref-convert; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$dest/usr/share/man/man1/$page.1" 2>&1 >/dev/null)
  [[ -z $warnings ]] || fail "$page.1: $warnings"
done

echo "-- version"
version=$("$dest/usr/bin/lumaref" --version)
[[ $version == "lumaref $(dpkg-parsechangelog -l debian/changelog -S Version)" ]] || fail "--version says '$version'"

echo "-- first start in a fresh home"
[[ ! -e /etc/lumaref.conf ]] || fail "/etc/lumaref.conf exists: the first start would not use the default data folder"
home=$(mktemp -d)
program=
stop_program() {
  if [[ -n $program ]]; then
    kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true # ended by our signal: not a failure
    program=
  fi
}
# Keeps the script's own exit status: the program's end by our signal must not become it.
cleanup() {
  local status=$?
  stop_program
  rm -rf "$home"
  exit "$status"
}
trap cleanup EXIT
data=$home/.local/share/lumaref
(cd "$home" && exec env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" QT_QPA_PLATFORM=offscreen \
  "$dest/usr/bin/lumaref" >"$home/lumaref.log" 2>&1) &
program=$!
for _ in $(seq 100); do
  [[ -f $data/Database.mdb && -f $data/lists/categories.txt && -f $data/lists/ferequently.txt ]] && break
  kill -0 "$program" 2>/dev/null || fail "lumaref ended at its first start: $(cat "$home/lumaref.log")"
  sleep 0.1
done
sleep 1
kill -0 "$program" 2>/dev/null || fail "lumaref ended at its first start: $(cat "$home/lumaref.log")"
[[ -d $data/lists/subjects ]] || fail "no $data/lists/subjects"
[[ ! -s $data/lists/categories.txt && ! -s $data/lists/ferequently.txt ]] || fail "the new list files are not empty"
journals=$(sqlite3 "$data/Database.mdb" "SELECT count(*) FROM journals")
[[ $journals == 0 ]] || fail "the new database holds $journals journals"
echo "data folder made: Database.mdb (0 journals), lists/categories.txt, lists/ferequently.txt, lists/subjects/"
stop_program

echo "-- Debian package and lintian"
deb=$(scripts/package.sh | tail -1)
lintian --fail-on error,warning "$deb"
echo "$deb: lintian clean"
