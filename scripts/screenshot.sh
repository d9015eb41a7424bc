#!/usr/bin/env bash
# Pictures the real program: builds a demo database with its list files, starts lumaref on it under
# xvfb-run and saves the window as a PNG.
#
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT.png]      (defaults: build, lumaref-window.png)
#   LUMAREF_DEMO_JOURNALS=N   journals in the demo database (default 2000)
#
# BUILD_DIR must hold the targets lumaref and lumaref-demo. The program picks the picture itself
# (LUMAREF_SCREENSHOT) once the window has been painted, then quits.
set -euo pipefail

build_dir=${1:-build}
output=${2:-lumaref-window.png}
journals=${LUMAREF_DEMO_JOURNALS:-2000}

for tool in "$build_dir/src/lumaref" "$build_dir/tools/lumaref-demo"; do
  if [[ ! -x $tool ]]; then
    echo "screenshot.sh: $tool not found; build the targets lumaref and lumaref-demo first" >&2
    exit 1
  fi
done
command -v xvfb-run >/dev/null || { echo "screenshot.sh: xvfb-run is not installed" >&2; exit 1; }

output=$(realpath -m "$output")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build_dir/tools/lumaref-demo" --journals "$journals" --out "$work" >/dev/null
# The list files are found beside the executable and Database.mdb in the current directory:
# a copy of the program in the demo folder has both.
cp "$build_dir/src/lumaref" "$work/"
(cd "$work" && LUMAREF_SCREENSHOT="$output" xvfb-run -a -s "-screen 0 1280x800x24" ./lumaref)
echo "saved $output"
