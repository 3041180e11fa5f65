#!/bin/sh
# Builds the Debian package of Orvane in build/package and prints its name and contents.
# Usage: scripts/package.sh        (the .deb lands in build/package/)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build/package"
jobs="$(nproc 2>/dev/null || echo 2)"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DORVANE_BUILD_TESTS=OFF -DORVANE_BUILD_BENCH=OFF >/dev/null
ninja -C "$dir" -j"$jobs"
(cd "$dir" && cpack -G DEB >/dev/null)
deb="$(ls -t "$dir"/orvane_*.deb | head -n 1)"
echo "package: $deb"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
