#!/usr/bin/env bash
# Installs what is missing, builds Lumaref, makes a demo database with its list files, and starts it.
#   scripts/demo.sh [journals]      (default 20000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
journals=${1:-20000}

"$root/scripts/install-deps.sh"
cmake --preset release -S "$root" >/dev/null
cmake --build "$root/build/release" --target lumaref lumaref-demo

demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo"
"$root/build/release/tools/lumaref-demo" --journals "$journals" --out "$demo"
# The list files are found beside the executable and Database.mdb in the current directory.
cp "$root/build/release/src/lumaref" "$demo/lumaref"
cd "$demo"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting under xvfb-run (set DISPLAY to see the window)."
  exec xvfb-run -a ./lumaref
fi
exec ./lumaref
