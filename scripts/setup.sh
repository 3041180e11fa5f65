#!/bin/sh
# Installs the Debian 12 packages that building, running and testing Orvane need, and,
# when named, those that only one other script needs:
#   scripts/setup.sh [package] [screenshots] [examples]
#     package      the Debian package build and its checks (scripts/package.sh)
#     screenshots  the documentation's pictures under a window manager (scripts/screenshots.sh)
#     examples     the plots of examples/walkthrough.py and docs/python.md
# Does nothing when every one of them is already installed.
set -eu

PACKAGES="
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-qpa-plugins libqcustomplot-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  fonts-ipafont-gothic fonts-liberation
  xvfb xauth
  qt6-translations-l10n file desktop-file-utils groff-base
  clang libclang-rt-14-dev
  python3-dev pybind11-dev python3-numpy python3-pytest python3-distributed python3-pandas python3-xarray python3-netcdf4
  libnetcdf-dev libnlopt-cxx-dev
"
for group in "$@"; do
  case $group in
    package) PACKAGES="$PACKAGES dpkg-dev fakeroot lintian" ;;
    screenshots) PACKAGES="$PACKAGES imagemagick openbox xdotool" ;;
    examples) PACKAGES="$PACKAGES python3-matplotlib" ;;
    *) echo "setup: unknown group \"$group\" (package, screenshots or examples)" >&2; exit 2 ;;
  esac
done

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -z "$missing" ]; then
  echo "setup: every required Debian package is installed."
  exit 0
fi

echo "setup: installing:$missing"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
  else
    echo "setup: these packages are missing and this user cannot install them:$missing" >&2
    echo "setup: run this script as root, or install them with apt-get." >&2
    exit 1
  fi
fi
$SUDO apt-get update
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
