#!/usr/bin/env bash
# Builds the deliverables and runs one export of the bundled sample company
# (corp-general) with the headless script backend. The suite home is made
# anew under build/sample-home; the script answers the conditions dialog with
# 実行, the transcript shows what a user would have seen, and the exported
# file's figures are listed (tests/e2e/golden has the reviewed files).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/install-deps.sh" --check
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" -j "$(nproc 2>/dev/null || echo 4)"

home="$top/build/sample-home"
bash "$top/scripts/make-home.sh" --force "$home" corp-general >/dev/null
rm -rf "$home/drive_c"   # a first run: no remembered conditions, no output folder yet
export ZELKOR_HOME="$home"
export ZELKOR_BACKEND=script
export ZELKOR_SCRIPT="$top/samples/run-sample.script"
export ZELKOR_TRANSCRIPT="$home/transcript.txt"
status=0
"$top/build/Zelkora" || status=$?
echo "Zelkora ended with exit status $status"
echo "--- transcript ($ZELKOR_TRANSCRIPT), without the control listings and progress captions"
grep -v -e '^  ' -e '^caption ' "$ZELKOR_TRANSCRIPT" 2>/dev/null || true
settings="$home/drive_c/Zelkor/Settings/Zelkora.env"
if [ -f "$settings" ]; then
  echo "--- remembered conditions ($settings)"
  iconv -f CP932 -t UTF-8 "$settings"
fi
out="$home/drive_c/Zelkor/Output/sample.xml"
if [ -f "$out" ]; then
  echo "--- exported file: $out ($(wc -c < "$out") bytes, Shift_JIS, CR LF); the elements that carry a value:"
  iconv -f CP932 -t UTF-8 "$out" | tr -d '\r' | grep -v '></' | grep -v -E $'^\t\t</?D0[0-9]+>$'
  if command -v xmllint >/dev/null; then
    xmllint --noout --encode Shift_JIS "$out" && echo "--- xmllint: well-formed"
  fi
else
  echo "--- no file was exported"
fi
