#!/usr/bin/env bash
# Fails on any #include that goes against the layers of src/layers.txt: a folder may include its own
# headers and those of the folders below it, never one above or beside it. Qt is for src/app only,
# SQLite and libpq for src/db only.
#   scripts/check-layers.sh [SOURCE_DIR]
set -euo pipefail
shopt -s nullglob
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
src=$root/src

declare -A below=()
layers=()
while IFS= read -r line; do
  [[ $line =~ ^([a-z]+)(:(.*))?$ ]] || continue
  layer=${BASH_REMATCH[1]}
  allowed=" $layer "
  for direct in ${BASH_REMATCH[3]}; do
    [[ -n ${below[$direct]+x} ]] || { echo "layers.txt: $layer builds on $direct, not listed above it" >&2; exit 1; }
    allowed+="${below[$direct]} "
  done
  below[$layer]=$allowed
  layers+=("$layer")
done <"$src/layers.txt"

faults=0
fault() {
  echo "$1: $2" >&2
  faults=$((faults + 1))
}
for folder in "$src"/*/; do
  folder=$(basename "$folder")
  [[ -n ${below[$folder]+x} ]] || fault "src/$folder" "a folder that src/layers.txt does not list"
done
for layer in "${layers[@]}"; do
  [[ -d $src/$layer ]] || continue
  while IFS=: read -r file number text; do
    if [[ $text =~ ^#include\ \"([a-z_]+)/ ]]; then
      target=${BASH_REMATCH[1]}
      [[ -z ${below[$target]+x} || ${below[$layer]} == *" $target "* ]] ||
        fault "${file#"$root"/}:$number" "$layer may not include $target ($text)"
    elif [[ $text =~ ^#include\ \<(Q[A-Za-z]*)[\>/] && $layer != app ]]; then
      fault "${file#"$root"/}:$number" "only src/app includes Qt ($text)"
    elif [[ $text =~ ^#include\ \<(sqlite3|libpq-fe)\.h\> && $layer != db ]]; then
      fault "${file#"$root"/}:$number" "only src/db includes ${BASH_REMATCH[1]}.h ($text)"
    fi
  done < <(grep -n '^#include' "$src/$layer"/*.h "$src/$layer"/*.cpp /dev/null || true)
done
if ((faults > 0)); then
  echo "check-layers.sh: $faults include(s) against src/layers.txt" >&2
  exit 1
fi
echo "check-layers.sh: every include of src/ follows src/layers.txt"
