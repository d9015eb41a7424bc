#!/usr/bin/env bash
# Installs what is missing, builds Lumaref with its tests, and runs every test: the PostgreSQL ones on a
# throwaway server that pg_virtualenv starts for the run (as root it runs the server as the postgres
# user; -t keeps it in a folder of its own, so another run beside this one is no obstacle) and drops
# afterwards. Fails if any PostgreSQL test was skipped.
#   scripts/test.sh [preset]        (release, debug or asan; default release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-release}

"$root/scripts/install-deps.sh"
cmake --preset "$preset" -S "$root" >/dev/null
cmake --build "$root/build/$preset"
export QT_QPA_PLATFORM=offscreen
log="$root/build/$preset/test.log"
pg_virtualenv -t ctest --test-dir "$root/build/$preset" --output-on-failure --timeout 300 -j2 2>&1 | tee "$log"
skipped=$(grep -E "(\*\*\*Skipped|\(Skipped\))" "$log" | grep -i "postgres" || true)
if [ -n "$skipped" ]; then
  echo "$skipped" >&2
  echo "PostgreSQL tests were skipped: their server did not start" >&2
  exit 1
fi
