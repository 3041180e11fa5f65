#!/bin/sh
# Installs the Debian 12 packages that building, running and testing Orvane need.
# Does nothing when every one of them is already installed.
set -eu

PACKAGES="
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-qpa-plugins libqcustomplot-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  fonts-ipafont-gothic fonts-liberation
  xvfb xauth
  qt6-translations-l10n dpkg-dev fakeroot file lintian desktop-file-utils groff-base
  imagemagick openbox xdotool
  clang libclang-rt-14-dev
  python3-dev pybind11-dev python3-numpy python3-pytest python3-distributed python3-pandas python3-xarray python3-matplotlib python3-netcdf4
  libnetcdf-dev
"

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
