#!/bin/sh
# Builds the benchmark suite (Release) and runs it, writing Google Benchmark's JSON to the given file.
#   bench/run.sh OUT.json [--sizes=10000,100000] [--benchmark_filter=...] ...
# BUILD_DIR chooses the build directory (default: build/bench in the repository); generated data is
# cached in BUILD_DIR/bench-data between runs.
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 OUT.json [lumaref_bench arguments...]" >&2
    exit 2
fi
out=$1
shift

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build/bench}

cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DLUMAREF_BUILD_APP=OFF -DLUMAREF_BUILD_TESTS=OFF -DLUMAREF_BUILD_BENCH=ON >/dev/null
ninja -C "$build" lumaref_bench

mkdir -p "$(dirname "$out")"
exec "$build/bench/lumaref_bench" --benchmark_out="$out" --benchmark_out_format=json --benchmark_color=false "$@"
