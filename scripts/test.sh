#!/usr/bin/env bash
# Installs what is missing, builds Lumaref with its tests, and runs every test.
#   scripts/test.sh [preset]        (release, debug or asan; default release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-release}

"$root/scripts/install-deps.sh"
cmake --preset "$preset" -S "$root" >/dev/null
cmake --build "$root/build/$preset"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build/$preset" --output-on-failure --timeout 300 -j2
