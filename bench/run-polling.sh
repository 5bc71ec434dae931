#!/bin/sh
# Builds the polling benchmark in a Release tree and runs it offscreen (ten minutes by default).
#   bench/run-polling.sh [seconds] [period ms]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-bench" --target bench_polling -j 2
runtime=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$runtime" "$work"' EXIT
cd "$work"
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" "$root/build-bench/bench/bench_polling" "$@"
