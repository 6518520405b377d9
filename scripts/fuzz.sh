#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for the given number
# of seconds (default 30). Usage: scripts/fuzz.sh [SECONDS] [HARNESS...]
# Findings land in build/fuzz/findings; the corpora grow in build/fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-30}
shift || true
SRC=build/fuzz-src
OUT=build/fuzz
mkdir -p "$SRC" "$OUT/findings"
python3 scripts/sjis_literals.py . "$SRC" platform framework support engine sources fuzz tests/unit
# A tree configured with another generator before.
if [ -f "$OUT/build/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$OUT/build/CMakeCache.txt"; then
  rm -rf "$OUT/build/CMakeCache.txt" "$OUT/build/CMakeFiles"
fi
cmake -S "$SRC/fuzz" -B "$OUT/build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$OUT/build" -j "$(nproc)" >"$OUT/build.log" 2>&1 || { tail -40 "$OUT/build.log"; exit 1; }

harnesses=("$@")
if [ ${#harnesses[@]} = 0 ]; then
  for f in fuzz/*_fuzz.cpp; do harnesses+=("$(basename "$f" .cpp)"); done
fi
# Harnesses run side by side, one per processor; results in harness order.
run_one() { # harness
  local h=$1 corpus="$OUT/corpus/$1" log="$OUT/$1.log" rc=0
  mkdir -p "$corpus"
  [ -d "fuzz/seeds/$h" ] && cp -n fuzz/seeds/"$h"/* "$corpus"/ 2>/dev/null || true
  "$OUT/build/$h" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$OUT/findings/$h-" -print_final_stats=1 "$corpus" >"$log" 2>&1 || rc=$?
  echo $rc >"$OUT/$h.status"
}
n=0
for h in "${harnesses[@]}"; do
  rm -f "$OUT/$h.status"
  if [ $n -ge "$(nproc)" ]; then wait -n; fi
  run_one "$h" &
  n=$((n + 1))
done
wait
status=0
for h in "${harnesses[@]}"; do
  log="$OUT/$h.log"
  if [ "$(cat "$OUT/$h.status" 2>/dev/null)" = 0 ]; then
    runs=$(grep -aoE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' || echo '?')
    echo "fuzz $h: ${SECONDS_EACH}s, $runs executions, no finding"
  else
    echo "fuzz $h: FINDING (see $log)"
    tail -30 "$log"
    status=1
  fi
done
exit $status
