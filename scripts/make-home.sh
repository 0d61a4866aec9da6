#!/usr/bin/env bash
# Creates a suite home with its store from the sample datasets.
#
#   scripts/make-home.sh [--force] [--user ID] [--select N | --no-select] HOME SAMPLE...
#
# HOME    the suite home folder (created when missing); the store is HOME/suite.db.
# SAMPLE  a sample name (samples/NAME.sql) or the path of a .sql file; loaded in order.
# --force       replace an existing store
# --user ID     the current user (default: admin, from samples/users.sql)
# --select N    the dataset the user works on (default: the first dataset of the first sample)
# --no-select   no dataset selected
#
# Needs the sqlite3 shell.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

force=0 user=admin select= noselect=0
while [ $# -gt 0 ]; do
  case "$1" in
    --force) force=1; shift ;;
    --user) user=$2; shift 2 ;;
    --select) select=$2; shift 2 ;;
    --no-select) noselect=1; shift ;;
    --) shift; break ;;
    -*) echo "make-home: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
if [ $# -lt 1 ]; then
  sed -n '2,14p' "$0" >&2
  exit 2
fi
home=$1; shift

sample_path() {
  case "$1" in
    */*|*.sql) echo "$1" ;;
    *) echo "$top/samples/$1.sql" ;;
  esac
}
for s in "$@"; do
  [ -f "$(sample_path "$s")" ] || { echo "make-home: no sample $(sample_path "$s")" >&2; exit 1; }
done

mkdir -p "$home"
db="$home/suite.db"
if [ -e "$db" ]; then
  if [ "$force" = 1 ]; then rm -f "$db"; else echo "make-home: $db exists (use --force)" >&2; exit 1; fi
fi

sqlite3 -bail "$db" < "$top/platform/suite/schema.sql"
sqlite3 -bail "$db" < "$top/samples/users.sql"
first=
for s in "$@"; do
  before=$(sqlite3 "$db" "SELECT coalesce(max(data_no), 0) FROM datasets")
  sqlite3 -bail "$db" < "$(sample_path "$s")"
  if [ -z "$first" ]; then
    first=$(sqlite3 "$db" "SELECT min(data_no) FROM datasets WHERE data_no > $before")
  fi
done

if [ "$noselect" = 1 ]; then
  data=NULL
elif [ -n "$select" ]; then
  data=$select
elif [ -n "$first" ]; then
  data=$first
else
  data=NULL
fi
user_sql=${user//\'/\'\'}
sqlite3 -bail "$db" "PRAGMA foreign_keys = ON;
  INSERT INTO selection (id, user_id, selected_no, data_no) VALUES (1, '$user_sql', 1, $data);"
echo "$db"
