#!/usr/bin/env bash
# Builds the deliverables and runs one export of the bundled sample company
# with the headless script backend.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" -j "$(nproc 2>/dev/null || echo 4)"
"$top/build/Zelkora"
echo "Zelkora ended with exit status $?"
