#!/bin/sh
# Builds the receive benchmark in a Release tree and runs it offscreen.
#   bench/run.sh [datagrams] [window]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-bench" --target bench_receive -j 2
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" "$root/build-bench/bench/bench_receive" "$@"
