#!/bin/sh
# Builds the fuzz targets (time-series readers, CSV import, encoding decision) with clang (libFuzzer, AddressSanitizer, UBSan) and
# runs each over its corpus in tests/data/fuzz/<target>/ for a bounded time.
#   scripts/fuzz.sh [seconds per target, default 30]
# New inputs that libFuzzer finds go to build/fuzz/corpus/<target>/, not into the repository.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
build=$root/build/fuzz
flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined -fno-omit-frame-pointer -gline-tables-only -O1"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DORVANE_FUZZ=ON -DORVANE_BUILD_UI=OFF -DORVANE_BUILD_TESTS=OFF -DORVANE_BUILD_BENCH=OFF
ninja -C "$build" fuzz_sdf fuzz_tsd fuzz_import fuzz_encoding
# The import and the encoding decision are smaller: a quarter of the time each. Each
# target is one process on one core, so as many run side by side as there are cores.
cores=$(nproc 2>/dev/null || echo 2)
pids=""
status=0
# Waits for the targets started so far; a failed one shows the end of its log.
reap() {
  for p in $pids; do
    if wait "${p%%:*}"; then
      echo "== ${p#*:}: $(grep -h '^Done' "$build/${p#*:}.log" || echo finished)"
    else
      echo "== ${p#*:} failed:" >&2
      tail -n 40 "$build/${p#*:}.log" >&2
      status=1
    fi
  done
  pids=""
}
for target in fuzz_sdf fuzz_tsd fuzz_import fuzz_encoding; do
  time=$seconds
  case $target in fuzz_import|fuzz_encoding) time=$(( (seconds + 3) / 4 )) ;; esac
  work=$build/corpus/$target
  mkdir -p "$work"
  echo "== $target ($time s, output in $build/$target.log)"
  "$build/fuzz/$target" -max_total_time="$time" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/$target-" "$work" "$root/tests/data/fuzz/$target" \
    >"$build/$target.log" 2>&1 &
  pids="$pids $!:$target"
  [ "$(echo $pids | wc -w)" -lt "$cores" ] || reap
done
reap
exit $status
