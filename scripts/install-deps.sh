#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian machine (as root).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
  g++ cmake ninja-build pkg-config \
  libgtest-dev libgmock-dev \
  libsqlite3-dev sqlite3 \
  libxml2-utils \
  libfltk1.3-dev fonts-ipafont-gothic \
  xvfb xauth xdotool x11-apps imagemagick
