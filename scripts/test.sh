#!/usr/bin/env bash
# Builds every preset and runs every test: native, sanitizers, and the Windows
# build under Wine. Prints the totals last. Usage: scripts/test.sh [--quick]
#   --quick   native tests only (no sanitizers, no Windows builds, no fuzzing)
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
QUICK=0
[ "${1:-}" = "--quick" ] && QUICK=1

bash scripts/setup.sh || exit 1
JOBS=$(nproc 2>/dev/null || echo 2)
LOG="$ROOT/build/test-logs"
mkdir -p "$LOG"
failures=()
# The tests that start worker threads, for the ThreadSanitizer step (the
# fault sweeps of the split run their batch on a thread too, but one at a
# time with nobody else touching its state: ThreadedJobs covers that).
TSAN_FILTER='ThreadedJobs.*:ThreadMessage.*:WinThread.*:Trace.*:LockedFile.*:*Batch*:*AddJob*:*AddFiles*:*Abort*:*Closing*:*Thread*-FaultInjectionSplit.*'
passed=0
failed=0

step() { printf '\n=== %s\n' "$*"; }

build() { # preset
  step "build $1"
  cmake --preset "$1" >"$LOG/configure-$1.log" 2>&1 || { cat "$LOG/configure-$1.log"; failures+=("configure $1"); return 1; }
  cmake --build --preset "$1" -j "$JOBS" 2>&1 | tee "$LOG/build-$1.log" | grep -E 'warning|error' ; 
  if [ "${PIPESTATUS[0]}" != 0 ]; then failures+=("build $1"); return 1; fi
  if grep -q 'warning:' "$LOG/build-$1.log"; then failures+=("warnings in $1"); fi
  return 0
}

count() { # log file: adds up GoogleTest's closing lines
  local p f
  p=$(grep -hoE '\[  PASSED  \] [0-9]+ test' "$1" | awk '{s+=$4} END {print s+0}')
  f=$(grep -hoE '\[  FAILED  \] [0-9]+ test' "$1" | awk '{s+=$4} END {print s+0}')
  passed=$(( passed + p ))
  failed=$(( failed + f ))
}

runtests() { # preset
  step "test $1"
  ctest --preset "$1" -V >"$LOG/test-$1.log" 2>&1
  local rc=$?
  grep -E '^\s*[0-9]+/[0-9]+ Test|tests passed|\[  FAILED  \]' "$LOG/test-$1.log" | sed 's/^[0-9]*: //' | sort -u | head -40
  count "$LOG/test-$1.log"
  [ $rc = 0 ] || { failures+=("tests $1"); tail -60 "$LOG/test-$1.log"; }
}

build native && runtests native
# What a user installs or downloads: the manual page and the Windows archive.
distcheck() { step "check $1"; bash scripts/check-dist.sh "$1" || failures+=("check $1"); }
[ -x build/native/cli/wavoss-split ] && distcheck install

if [ $QUICK = 0 ]; then
  build asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 runtests asan
  # ThreadSanitizer over the tests that run jobs on worker threads (batch,
  # add-files job, abort, closing): any report fails the step.
  if build tsan; then
    step "test tsan (threaded tests)"
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build/tsan/tests/unit_tests \
      --gtest_filter="$TSAN_FILTER" >"$LOG/test-tsan.log" 2>&1
    rc=$?
    grep -E '^\[  (PASSED|FAILED) ' "$LOG/test-tsan.log"
    count "$LOG/test-tsan.log"
    [ $rc = 0 ] || { failures+=("tests tsan"); grep -A30 -m3 'WARNING: ThreadSanitizer' "$LOG/test-tsan.log"; tail -30 "$LOG/test-tsan.log"; }
  fi
  build win32 && distcheck package
  if build win64; then
    source scripts/wine-env.sh
    wine_start
    runtests win64
    wine_stop
  fi
  if [ -x scripts/fuzz.sh ]; then
    step "fuzz (short runs)"
    if bash scripts/fuzz.sh 20 >"$LOG/fuzz.log" 2>&1; then tail -12 "$LOG/fuzz.log"; else tail -40 "$LOG/fuzz.log"; failures+=("fuzzing"); fi
  fi
fi

step "summary"
if [ ${#failures[@]} -gt 0 ]; then
  printf 'failed steps: %s\n' "${failures[*]}"
  [ "$failed" -gt 0 ] || failed=1
fi
echo "totals: $passed passed, $failed failed"
[ ${#failures[@]} = 0 ]
