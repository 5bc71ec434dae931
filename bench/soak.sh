#!/bin/sh
# Builds the soak benchmark in a Release tree and runs it offscreen: numbered datagrams of 64 to
# 1,400 bytes at RATE a second for SECONDS into the window; prints memory at start and end, the
# kernel's drops (/proc/net/udp), the worst event-loop stall and the log's completeness; with
# --watch also the machine's own pauses (a real-time thread per CPU, so run it as root), how much
# of each stall over 20 ms they cover, and the worst stall less the pause inside it.
#   bench/soak.sh [SECONDS [RATE [--boxes] [--watch]]]      (default 180 s at 20000/s)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-bench" --target bench_soak -j 2
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
seconds=${1:-180}
rate=${2:-20000}
shift $(($# < 2 ? $# : 2))
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" "$root/build-bench/bench/bench_soak" \
  "$seconds" "$rate" "$@"
