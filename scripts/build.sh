#!/bin/sh
# Configures and builds Orvane in build/<name> (default: build/release).
# Usage: scripts/build.sh [name] [ninja targets...]
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
name="${1:-release}"
[ $# -gt 0 ] && shift
dir="$root/build/$name"
jobs="$(nproc 2>/dev/null || echo 2)"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$dir" -j"$jobs" "$@"
