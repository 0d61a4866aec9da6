#!/usr/bin/env bash
# Stores a saved tax-return record (a file of exactly 24,576 bytes) as the
# saved values of a dataset, replacing what was saved before.
#
#   scripts/import-saved.sh HOME DATA_NO FILE
#
# Needs the sqlite3 shell.
set -euo pipefail
if [ $# -ne 3 ]; then
  sed -n '2,7p' "$0" >&2
  exit 2
fi
home=$1 data=$2 file=$3
db="$home/suite.db"
[ -f "$db" ] || { echo "import-saved: no store $db" >&2; exit 1; }
[ -f "$file" ] || { echo "import-saved: no file $file" >&2; exit 1; }
case "$data" in ''|*[!0-9]*) echo "import-saved: bad dataset number $data" >&2; exit 1 ;; esac
size=$(wc -c < "$file")
if [ "$size" -ne 24576 ]; then
  echo "import-saved: $file holds $size bytes, not 24576" >&2
  exit 1
fi
# readfile() takes the path as an SQL text literal.
path_sql=$(printf '%s' "$file" | sed "s/'/''/g")
sqlite3 -bail "$db" "PRAGMA foreign_keys = ON;
  INSERT OR REPLACE INTO saved_tax (data_no, info) VALUES ($data, readfile('$path_sql'));"
