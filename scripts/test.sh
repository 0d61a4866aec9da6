#!/usr/bin/env bash
# Builds the project and runs every test: the normal build, then the tests
# again under the address and undefined-behaviour sanitizers.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 4)
bash "$top/scripts/install-deps.sh" --check

cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$top/build" -j "$jobs"
ctest --test-dir "$top/build" -j "$jobs" --output-on-failure --timeout 600

cmake -S "$top" -B "$top/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZK_SANITIZE=ON
cmake --build "$top/build-asan" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$top/build-asan" -j "$jobs" --output-on-failure --timeout 900
