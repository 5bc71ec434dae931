#!/bin/sh
# Builds the transfer benchmark in a Release tree and runs it: the window's own time per
# handshake, offscreen.
#   bench/run-transfers.sh [program lines] [file bytes]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-bench" --target bench_transfers -j 2
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" "$root/build-bench/bench/bench_transfers" "$@"
