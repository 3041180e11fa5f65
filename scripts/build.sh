#!/bin/sh
# Configures and builds Orvane in build/<name> (default: build/release).
# Usage: scripts/build.sh [name] [ninja targets...]
# build/release is what `cmake --install` installs: everything but the tests and the
# benchmarks, so that every install rule finds its file. Other names build with both.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
name="${1:-release}"
[ $# -gt 0 ] && shift
dir="$root/build/$name"
jobs="$(nproc 2>/dev/null || echo 2)"
options=""
[ "$name" = release ] && options="-DORVANE_BUILD_TESTS=OFF -DORVANE_BUILD_BENCH=OFF"
# shellcheck disable=SC2086
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $options >/dev/null
ninja -C "$dir" -j"$jobs" "$@"
