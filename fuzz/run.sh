#!/usr/bin/env bash
# Builds a libFuzzer target (clang, ASan + UBSan) and runs it.
#   fuzz/run.sh TARGET SECONDS [libFuzzer options]   e.g. fuzz/run.sh transfers 60
#   fuzz/run.sh TARGET 0 -runs=10000000               a count of inputs instead of a time
#   fuzz/run.sh all SECONDS                           every target in turn (CI: a few seconds)
# Targets: the names in fuzz/targets.cmake. The seeds in fuzz/corpus/TARGET are read, never
# written; what the run finds goes to build-fuzz/corpus/TARGET. A crash leaves its input in
# build-fuzz/crashes/: copy it into fuzz/regressions/TARGET/, where ctest's fuzz_replay_TARGET
# replays it from then on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 2 ] || { sed -n '2,10p' "$0"; exit 1; }
target=$1 seconds=$2
shift 2
build=$root/build-fuzz
targets=$(sed -n '/^set(BRENMOOR_FUZZ_TARGETS/,/)/p' "$root/fuzz/targets.cmake" |
          tr -d '()' | sed 's/set//; s/BRENMOOR_FUZZ_TARGETS//')
[ "$target" = all ] && chosen=$targets || chosen=$target

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DBRENMOOR_FUZZ=ON \
  -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1 -gline-tables-only" \
  >/dev/null
cmake --build "$build" --target $(printf 'fuzz_%s ' $chosen)

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
for t in $chosen; do
  mkdir -p "$build/corpus/$t" "$build/crashes"
  echo "== fuzz_$t"
  limit=()
  [ "$seconds" != 0 ] && limit=(-max_total_time="$seconds")
  "$build/fuzz/fuzz_$t" "${limit[@]}" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$build/crashes/$t-" "$@" "$build/corpus/$t" "$root/fuzz/corpus/$t"
done
