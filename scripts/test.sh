#!/bin/sh
# Installs what is missing, builds everything, and runs every test:
#   1. the core and command-line tests again under AddressSanitizer and UBSan (build/asan),
#   2. the fuzz targets of the time-series readers for a bounded time (clang, build/fuzz),
#   3. every test of the normal build with ctest (build/test), window tests offscreen.
# The last line gives the number of tests passed and failed over all ctest runs.
# ORVANE_QUICK=1 skips steps 1 and 2.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
jobs="$(nproc 2>/dev/null || echo 2)"
passed=0
failed=0
status=0

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
  cmake -S "$root" -B "$root/build/asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVANE_SANITIZE=ON -DORVANE_BUILD_UI=OFF -DORVANE_BUILD_BENCH=OFF >/dev/null
  ninja -C "$root/build/asan" -j"$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest asan

  echo "test: fuzzing the time-series readers"
  if "$root/scripts/fuzz.sh" 20; then
    echo "test: fuzzing found nothing"
  else
    echo "test: fuzzing failed" >&2
    status=1
    failed=$((failed + 1))
  fi
fi

"$root/scripts/build.sh" test
run_ctest test

echo "test: $passed passed, $failed failed"
exit $status
