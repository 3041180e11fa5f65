#!/bin/sh
# Installs what is missing, builds, and starts the desktop program `orvane`.
# Without a display it says so, shows how to run the program under Xvfb, and runs a short
# command-line demo instead.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh" examples
# The whole release tree (programs, Python module, icons, man pages), so that
# `cmake --install build/release` finds everything it installs.
"$root/scripts/build.sh" release

app="$root/build/release/src/app/orvane"
cli="$root/build/release/src/cli/orvane-cli"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: starting $app"
  # The program's own rule: $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
  case "${XDG_CONFIG_HOME:-}" in
    /*) config="$XDG_CONFIG_HOME/orvane/" ;;
    *) config="$HOME/.config/orvane/" ;;
  esac
  echo "run: the settings file WaveCval.dat is kept in $(dirname "$app")/ (or $config when that folder is not writable)"
  exec "$app"
fi

cat <<MSG
run: no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set), so the
     windowed program cannot be shown here. To run it under a virtual X server:

       xvfb-run -a $app

     Meanwhile, a short demonstration of the command-line program on the same core:
MSG
echo
set -x
"$cli" airy --depth 10 --period 10 --height 1
"$cli" wavenumber --period 10 --depth 10
"$cli" airy --depth 2 --period 12 --height 0.5
{ set +x; } 2>/dev/null
echo
echo "run: '$cli --help' lists every command."
