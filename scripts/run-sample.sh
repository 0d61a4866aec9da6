#!/usr/bin/env bash
# Builds the deliverables and runs one export of the bundled sample company
# (corp-general) with the headless script backend. The suite home is made
# anew under build/sample-home; the script answers the conditions dialog with
# 実行 and the transcript shows what a user would have seen.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" -j "$(nproc 2>/dev/null || echo 4)"

home="$top/build/sample-home"
bash "$top/scripts/make-home.sh" --force "$home" corp-general >/dev/null
export ZELKOR_HOME="$home"
export ZELKOR_BACKEND=script
export ZELKOR_SCRIPT="$top/samples/run-sample.script"
export ZELKOR_TRANSCRIPT="$home/transcript.txt"
status=0
"$top/build/Zelkora" || status=$?
echo "Zelkora ended with exit status $status"
echo "--- transcript ($ZELKOR_TRANSCRIPT)"
cat "$ZELKOR_TRANSCRIPT" 2>/dev/null || true
out=$(find "$home/drive_c" -name '*.xml' 2>/dev/null | head -n 1)
if [ -n "$out" ]; then
  echo "--- exported file: $out"
  iconv -f CP932 -t UTF-8 "$out" | head -n 40
fi
