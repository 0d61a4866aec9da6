#!/usr/bin/env bash
# Builds the deliverable it runs (Zelkora, not the tests) and runs one export
# of the bundled sample company (corp-general) with the headless script
# backend. The suite home is made anew under build/sample-home; the script
# answers the conditions dialog with 実行, the transcript shows what a user
# would have seen, and the exported file's figures are listed
# (tests/e2e/golden has the reviewed files).
#
# The process's exit status is 0 for every ending; the ending is told from
# what the run showed (the same endings as the result code a caller gets):
# exported (the closing message), cancelled or refused (the conditions
# dialog cancelled or refused, no user or dataset selected, 第六種事業 refused,
# the old-rate question cancelled), or error (anything else: the store, the
# environment check, a section stopped).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/install-deps.sh" --check-run   # not the packages of the tests
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" --target Zelkora -j "$(nproc 2>/dev/null || echo 4)"

home="$top/build/sample-home"
bash "$top/scripts/make-home.sh" --force "$home" corp-general >/dev/null
rm -rf "$home/drive_c"   # a first run: no remembered conditions, no output folder yet
export ZELKOR_HOME="$home"
export ZELKOR_BACKEND=script
export ZELKOR_SCRIPT="$top/samples/run-sample.script"
export ZELKOR_TRANSCRIPT="$home/transcript.txt"
status=0
"$top/build/Zelkora" || status=$?

# The ending from the transcript's message boxes and dialog endings.
ending() {
  local t=$ZELKOR_TRANSCRIPT
  if grep -q '^message .* text="消費税情報の出力が終了しました。' "$t"; then
    echo exported
  elif grep -q -e '^end dialog:130 result=1006' \
      -e '^message .* text="利用者が選択されていません。' -e '^message .* text="会計データが選択されていません。' \
      -e '^message .* text="集計範囲に事業分類「第六種事業」の仕訳が存在します。' \
      -e '^message .* text="指定された集計期間内に旧税率.* answer=CANCEL$' "$t"; then
    echo "cancelled or refused"
  else
    echo error
  fi
}
if [ "$status" -ne 0 ]; then
  echo "Zelkora ended abnormally (exit status $status)"
elif [ ! -f "$ZELKOR_TRANSCRIPT" ]; then
  echo "Zelkora ended without a transcript"
else
  how=$(ending)
  echo "Zelkora ended: $how"
  if [ "$how" != exported ]; then
    last=$(grep '^message ' "$ZELKOR_TRANSCRIPT" | tail -n 1 | sed -n 's/.* text="\(.*\)" answer=.*/\1/p')
    [ -z "$last" ] || echo "  the last message: $last"
  fi
fi
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
