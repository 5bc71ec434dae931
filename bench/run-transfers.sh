#!/bin/sh
# Builds the transfer benchmarks in a Release tree and runs them: the window's own time per
# handshake (offscreen) and then the command-line client's, on the same transfer cores.
#   bench/run-transfers.sh [program lines] [file bytes]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-bench" --target bench_transfers bench_cli brenmoor-cli -j 2
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
echo "== the window"
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" "$root/build-bench/bench/bench_transfers" "$@"
echo "== brenmoor-cli"
"$root/build-bench/bench/bench_cli" 3
