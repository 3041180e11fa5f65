#!/bin/sh
# Builds the Debian package of Orvane in build/package, checks it with lintian and
# desktop-file-validate, and prints its name and contents. Fails when lintian reports an
# error or a warning that is not overridden (packaging/lintian-overrides).
# Usage: scripts/package.sh        (the .deb lands in build/package/)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh" package
dir="$root/build/package"
jobs="$(nproc 2>/dev/null || echo 2)"
# Debian's hardening flags (fortify, stack protector, relro, bind now), as a package built
# by Debian's own tools gets them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags="$(dpkg-buildflags --get CPPFLAGS)"
cxxflags="$(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$cppflags $cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_STRIP="$root/packaging/strip-for-debian" \
  -DORVANE_PYTHON_MODULE_DIR=lib/python3/dist-packages -DORVANE_DEBIAN_PACKAGE=ON \
  -DORVANE_BUILD_TESTS=OFF -DORVANE_BUILD_BENCH=OFF >/dev/null
ninja -C "$dir" -j"$jobs"
rm -f "$dir"/orvane_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb="$(ls -t "$dir"/orvane_*.deb | head -n 1)"
echo "package: $deb"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"

status=0
unpacked="$dir/unpacked"
rm -rf "$unpacked"
dpkg-deb -x "$deb" "$unpacked"
for entry in "$unpacked"/usr/share/applications/*.desktop; do
  if desktop-file-validate "$entry"; then
    echo "package: desktop-file-validate: $(basename "$entry") passes"
  else
    status=1
  fi
done
rm -rf "$unpacked"

# lintian exits non-zero on an error; --fail-on warning also on a warning not overridden.
echo "package: lintian"
if lintian --fail-on error,warning --display-info "$deb"; then
  echo "package: lintian reports no error and no warning"
else
  echo "package: lintian reported the problems above" >&2
  status=1
fi
exit $status
