#!/bin/sh
# Installs what is missing, builds, and runs every test, each build holding only what its
# step runs:
#   1. the core and command-line tests under AddressSanitizer and UBSan (build/asan),
#   2. the fuzz targets of the time-series readers for a bounded time (clang, build/fuzz),
#   3. the windows, the Python module, the installed tree, the man pages and the command
#      line again with ctest (build/test, window tests offscreen). The core's own test
#      programs ran under the sanitizers in step 1, so this build leaves them out, and it
#      builds no benchmarks (none is run here).
# Both test builds keep line tables only (-g1): stack traces still name files and lines,
# and the compiler does about a third less work than with full debug information.
# The last line gives the number of tests passed and failed over all ctest runs.
# ORVANE_QUICK=1 skips steps 1 and 2 and runs the core's tests in step 3 instead.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
started=$(date +%s)
"$root/scripts/setup.sh"
jobs="$(nproc 2>/dev/null || echo 2)"
passed=0
failed=0
status=0
times=""
# Notes how long the step that began at $1 took, for the summary at the end.
took() {
  times="$times
test:   $2: $(( $(date +%s) - $1 )) s"
}

# Runs ctest in build/$1 and adds its counts to the totals.
run_ctest() {
  dir="$root/build/$1"
  log="$dir/ctest-output.txt"
  QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j"$jobs" 2>&1 | tee "$log" || true
  summary="$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)"
  if [ -z "$summary" ]; then
    echo "test: ctest in build/$1 did not report a summary" >&2
    status=1
    return
  fi
  total="$(echo "$summary" | sed -E 's/.*out of ([0-9]+).*/\1/')"
  bad="$(echo "$summary" | sed -E 's/.* ([0-9]+) tests? failed.*/\1/')"
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  [ "$bad" -eq 0 ] || status=1
}

if [ "${ORVANE_QUICK:-0}" != 1 ]; then
  echo "test: sanitizer build of the core and the command line"
  t=$(date +%s)
  cmake -S "$root" -B "$root/build/asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DORVANE_SANITIZE=ON -DORVANE_BUILD_UI=OFF -DORVANE_BUILD_BENCH=OFF >/dev/null
  ninja -C "$root/build/asan" -j"$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest asan
  took "$t" "sanitizer build and tests"

  echo "test: fuzzing the time-series readers"
  t=$(date +%s)
  if "$root/scripts/fuzz.sh" 20; then
    echo "test: fuzzing found nothing"
  else
    echo "test: fuzzing failed" >&2
    status=1
    failed=$((failed + 1))
  fi
  took "$t" "fuzzing"
  core_tests=OFF
else
  core_tests=ON
fi

t=$(date +%s)
cmake -S "$root" -B "$root/build/test" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DORVANE_CORE_TESTS=$core_tests -DORVANE_BUILD_BENCH=OFF >/dev/null
ninja -C "$root/build/test" -j"$jobs"
run_ctest test
took "$t" "build and tests"

echo "test: wall time per step:$times"
echo "test:   in all: $(( $(date +%s) - started )) s"
echo "test: $passed passed, $failed failed"
exit $status
