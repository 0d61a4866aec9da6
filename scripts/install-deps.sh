#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian machine.
#
#   scripts/install-deps.sh          install every package (as root)
#   scripts/install-deps.sh --check  install only when a package is missing;
#                                    without root, name the missing ones
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  libsqlite3-dev sqlite3
  libxml2-utils
  libfltk1.3-dev fonts-ipafont-gothic
  xvfb xauth xdotool x11-apps x11-utils imagemagick
)

if [ "${1:-}" = "--check" ]; then
  missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && exit 0
  if [ "$(id -u)" != 0 ]; then
    echo "missing packages (install them as root with scripts/install-deps.sh): ${missing[*]}" >&2
    exit 1
  fi
fi

apt-get update
apt-get install -y --no-install-recommends "${packages[@]}"
