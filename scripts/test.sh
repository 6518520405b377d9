#!/usr/bin/env bash
# Builds every preset and runs every test: native, the 32-bit data model under
# qemu, sanitizers, the Windows builds (win64 tests under Wine) and fuzzing.
# Prints each step's time and the totals last. Usage: scripts/test.sh [--quick]
#   --quick   native tests only (no 32-bit, sanitizers, Windows builds, fuzzing)
# Each preset builds only what its step runs, and a preset's tests run in the
# background while the next preset builds, one test step at a time (the
# Windows dialog tests alone).
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
QUICK=0
[ "${1:-}" = "--quick" ] && QUICK=1
START=$(date +%s)
LOG="$ROOT/build/test-logs"
mkdir -p "$LOG"
failures=()
timings=()
passed=0
failed=0

secs() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }
# CPU_NOW: processor seconds (user + system) of this shell's finished
# children. Not a $(...) function: a subshell would see none of them.
cpu_now() {
  local f="$LOG/times-$BASHPID"
  times >"$f"
  CPU_NOW=$(tail -1 "$f" | awk '{ s = 0; for (i = 1; i <= 2; i++) { split($i, a, /[ms]/); s += a[1] * 60 + a[2] } printf "%d", s + 0.5 }')
}
timed() { # name start-seconds [start-cpu]
  local line
  line=$(printf '%-20s %s' "$1" "$(secs $(($(date +%s) - $2)))")
  if [ -n "${3:-}" ]; then
    cpu_now
    line+=" (cpu $(secs $((CPU_NOW - $3))))"
  fi
  timings+=("$line")
}
step() { printf '\n=== %s\n' "$*"; }

# The compilers and tools of the native step first; the 32-bit libraries and
# qemu, then the Windows, Wine and clang packages install in the background
# while the native step builds.
t=$(date +%s)
bash scripts/setup.sh base || exit 1
timed "setup (base)" "$t"
SETUP_PID=
rm -f "$LOG/setup-linux32.status"
if [ $QUICK = 0 ]; then
  (
    t=$(date +%s)
    bash scripts/setup.sh linux32
    rc=$?
    echo $rc >"$LOG/setup-linux32.status"
    [ $rc = 0 ] && bash scripts/setup.sh
    rc=$?
    echo $(($(date +%s) - t)) >"$LOG/setup.secs"
    exit $rc
  ) >"$LOG/setup.log" 2>&1 &
  SETUP_PID=$!
fi
# Waits for the 32-bit packages; 1 when they could not be installed.
wait_linux32() {
  while [ ! -f "$LOG/setup-linux32.status" ] && kill -0 "$SETUP_PID" 2>/dev/null; do sleep 1; done
  [ "$(cat "$LOG/setup-linux32.status" 2>/dev/null)" = 0 ] && return 0
  cat "$LOG/setup.log"
  failures+=("setup linux32")
  return 1
}
wait_setup() {
  [ -n "$SETUP_PID" ] || return 0
  local rc=0
  wait "$SETUP_PID" || rc=$?
  SETUP_PID=
  cat "$LOG/setup.log"
  timings+=("$(printf '%-20s %s (in the background)' "setup (rest)" "$(secs "$(cat "$LOG/setup.secs" 2>/dev/null || echo 0)")")")
  [ $rc = 0 ] || { failures+=("setup"); return 1; }
}

JOBS=$(nproc 2>/dev/null || echo 2)
# Static glibc links (linux32) warn about GoogleTest's socket streamer; no
# other warning is let through.
STATIC_NOTE="in statically linked applications requires at runtime the shared libraries"

build() { # preset [target...]: nothing but the named targets when given
  local preset=$1 t c
  shift
  report_bg
  t=$(date +%s)
  cpu_now
  c=$CPU_NOW
  step "build $preset"
  local cache="build/$preset/CMakeCache.txt"
  # A tree configured for another generator (these presets moved to Ninja).
  if [ -f "$cache" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$cache"; then
    rm -rf "$cache" "build/$preset/CMakeFiles"
  fi
  cmake --preset "$preset" >"$LOG/configure-$preset.log" 2>&1 ||
    { cat "$LOG/configure-$preset.log"; failures+=("configure $preset"); timed "build $preset" "$t" "$c"; return 1; }
  local targets=()
  for x in "$@"; do targets+=(--target "$x"); done
  cmake --build --preset "$preset" -j "$JOBS" "${targets[@]}" >"$LOG/build-$preset.log" 2>&1
  local rc=$?
  grep -E 'warning|error' "$LOG/build-$preset.log" | grep -v "$STATIC_NOTE"
  timed "build $preset" "$t" "$c"
  if [ $rc != 0 ]; then failures+=("build $preset"); return 1; fi
  if grep 'warning:' "$LOG/build-$preset.log" | grep -qv "$STATIC_NOTE"; then
    failures+=("warnings in $preset")
  fi
  return 0
}

count() { # log file: adds up GoogleTest's closing lines
  local p f
  p=$(grep -ahoE '\[  PASSED  \] [0-9]+ test' "$1" | awk '{s+=$4} END {print s+0}')
  f=$(grep -ahoE '\[  FAILED  \] [0-9]+ test' "$1" | awk '{s+=$4} END {print s+0}')
  passed=$((passed + p))
  failed=$((failed + f))
}

# Test steps: run_* write the log and return the status; report shows it.
run_ctest() { ctest --preset "$1" -V >"$LOG/test-$1.log" 2>&1; }
# ThreadSanitizer over the tests that start worker threads (the fault sweeps
# of the split run their batch on a thread too, but one at a time with nobody
# else touching its state: ThreadedJobs covers that). Any report fails.
TSAN_FILTER='ThreadedJobs.*:ThreadMessage.*:WinThread.*:Trace.*:LockedFile.*:*Batch*:*AddJob*:*AddFiles*:*Abort*:*Closing*:*Thread*-FaultInjectionSplit.*'
run_tsan() {
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build/tsan/tests/unit_tests \
    --gtest_filter="$TSAN_FILTER" >"$LOG/test-tsan.log" 2>&1
}
run_asan() { ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest asan; }
# Under Wine: the core's and the command line's tests, then the dialogs'.
run_win64() { wine_ctest win64 -E '^ui_tests$'; }
run_win64-ui() { wine_ctest win64-ui -R '^ui_tests$'; }
wine_ctest() { # log-name ctest-options...
  local name=$1
  shift
  source scripts/wine-env.sh
  wine_start
  ctest --preset win64 -V "$@" >"$LOG/test-$name.log" 2>&1
  local rc=$?
  wine_stop
  return $rc
}

report() { # name rc seconds cpu-seconds
  local name=$1 rc=$2 log="$LOG/test-$1.log"
  step "test $name"
  if [ "$name" = tsan ]; then
    grep -aE '^\[  (PASSED|FAILED) ' "$log"
  else
    grep -aE '^\s*[0-9]+/[0-9]+ Test|% tests passed|\[  FAILED  \]' "$log" | sed 's/^[0-9]*: //' | sort -u | head -40
  fi
  count "$log"
  timings+=("$(printf '%-20s %s (cpu %s)' "test $name" "$(secs "$3")" "$(secs "${4:-0}")")")
  if [ "$rc" != 0 ]; then
    failures+=("tests $name")
    if [ "$name" = tsan ]; then grep -a -A30 -m3 'WARNING: ThreadSanitizer' "$log"; tail -30 "$log"; else tail -60 "$log"; fi
  fi
}

# Test steps run in the background one after another, in the order started,
# while the builds go on; each is reported once it and those before it ended.
BG_PIDS=()
BG_NAMES=()
BG_REPORTED=0
test_bg() { # name
  local prev= prev_name=
  if [ ${#BG_PIDS[@]} -gt 0 ]; then prev=${BG_PIDS[-1]} prev_name=${BG_NAMES[-1]}; fi
  rm -f "$LOG/status-$1"
  (
    while [ -n "$prev" ] && [ ! -f "$LOG/status-$prev_name" ] && kill -0 "$prev" 2>/dev/null; do sleep 1; done
    t=$(date +%s)
    "run_$1"
    rc=$?
    cpu_now
    echo "$rc $(($(date +%s) - t)) $CPU_NOW" >"$LOG/status-$1"
  ) &
  BG_PIDS+=($!)
  BG_NAMES+=("$1")
}
report_bg() { # [all]: waits for every step when given, else reports the ended ones
  local rc secs cs name
  while [ "$BG_REPORTED" -lt ${#BG_PIDS[@]} ]; do
    name=${BG_NAMES[$BG_REPORTED]}
    if [ "${1:-}" = all ]; then
      wait "${BG_PIDS[$BG_REPORTED]}"
    elif [ ! -f "$LOG/status-$name" ]; then
      return 0
    fi
    read -r rc secs cs <"$LOG/status-$name" || { rc=1; secs=0; cs=0; }
    report "$name" "$rc" "$secs" "$cs"
    BG_REPORTED=$((BG_REPORTED + 1))
  done
}
wait_bg() { report_bg all; }
run_native() { run_ctest native; }
# What a user installs or downloads: the manual page, the Debian package, the
# Windows archive and installer package.
distcheck() {
  local t
  t=$(date +%s)
  step "check $1"
  bash scripts/check-dist.sh "$1" || failures+=("check $1")
  timed "check $1" "$t"
}
run_linux32() { run_ctest linux32; }

if [ $QUICK = 1 ]; then
  if build native; then
    t=$(date +%s)
    cpu_now
    c=$CPU_NOW
    run_native
    rc=$?
    cpu_now
    report native $rc $(($(date +%s) - t)) $((CPU_NOW - c))
    distcheck install
  fi
else
  build native && test_bg native && distcheck install
  # The 32-bit data model of the shipped program, under user-mode emulation.
  wait_linux32 && build linux32 unit_tests cli_tests && test_bg linux32
  build asan unit_tests cli_tests && test_bg asan
  build tsan unit_tests && test_bg tsan
  wait_setup
  distcheck deb
  # Its programs only: this machine cannot run them; linux32 runs the tests.
  build win32 Wavoss wavoss-split && distcheck package
  win64=0
  build win64 unit_tests cli_tests ui_tests Wavoss && win64=1 && test_bg win64
  if [ -x scripts/fuzz.sh ]; then
    t=$(date +%s)
    cpu_now
    c=$CPU_NOW
    step "fuzz (short runs)"
    if bash scripts/fuzz.sh 12 >"$LOG/fuzz.log" 2>&1; then tail -12 "$LOG/fuzz.log"; else
      tail -40 "$LOG/fuzz.log"
      failures+=("fuzzing")
    fi
    timed "fuzz" "$t" "$c"
  fi
  if [ $win64 = 1 ]; then
    # Alone: the dialog tests wait for windows and the pointer with bounded
    # waits, which a build beside them can make them miss.
    test_bg win64-ui
    wait_bg
  fi
fi
wait_bg
wait_setup

step "summary"
printf '%s\n' "${timings[@]}"
timed "whole command" "$START" 0
printf '%s\n' "${timings[-1]}"
if [ ${#failures[@]} -gt 0 ]; then
  printf 'failed steps: %s\n' "${failures[*]}"
  [ "$failed" -gt 0 ] || failed=1
fi
echo "totals: $passed passed, $failed failed"
[ ${#failures[@]} = 0 ]
