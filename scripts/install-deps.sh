#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian machine.
#
#   scripts/install-deps.sh              install every package (as root)
#   scripts/install-deps.sh --check      install only when a package is missing;
#                                        without root, name the missing ones
#   scripts/install-deps.sh --check-run  the same for the packages that building
#                                        and running the program need, without
#                                        those of the tests (scripts/run-sample.sh)
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
# Building the deliverables and running one with the script backend: the
# compiler, CMake and Ninja, SQLite (library and the shell that makes a suite
# home) and FLTK with a Japanese font for the real windows.
run_packages=(
  g++ cmake ninja-build pkg-config
  libsqlite3-dev sqlite3
  libfltk1.3-dev fonts-ipafont-gothic
)
# The tests besides: GoogleTest, xmllint for the exported files, and a virtual
# display driven by keys and pointer, with its screenshots.
test_packages=(
  libgtest-dev libgmock-dev
  libxml2-utils
  xvfb xauth xdotool x11-apps x11-utils imagemagick
)
packages=("${run_packages[@]}" "${test_packages[@]}")

case "${1:-}" in
  "") ;;
  --check-run) packages=("${run_packages[@]}") ;&
  --check)
    missing=()
    for p in "${packages[@]}"; do
      dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && exit 0
    if [ "$(id -u)" != 0 ]; then
      echo "missing packages (install them as root with scripts/install-deps.sh): ${missing[*]}" >&2
      exit 1
    fi
    packages=("${missing[@]}")
    ;;
  *) echo "install-deps: unknown option $1 (--check or --check-run)" >&2; exit 2 ;;
esac

apt-get update
apt-get install -y --no-install-recommends "${packages[@]}"
