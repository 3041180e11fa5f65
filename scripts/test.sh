#!/bin/sh
# Installs what is missing, builds everything, and runs every test with ctest.
# The last line gives the number of tests run and failed.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" test

dir="$root/build/test"
log="$dir/ctest-output.txt"
jobs="$(nproc 2>/dev/null || echo 2)"
status=0
QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j"$jobs" 2>&1 | tee "$log" || true
summary="$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)"
if [ -z "$summary" ]; then
  echo "test: ctest did not report a summary" >&2
  exit 1
fi
total="$(echo "$summary" | sed -E 's/.*out of ([0-9]+).*/\1/')"
failed="$(echo "$summary" | sed -E 's/.* ([0-9]+) tests? failed.*/\1/')"
[ "$failed" -eq 0 ] || status=1
echo "test: $total tests run, $((total - failed)) passed, $failed failed"
exit $status
