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
# Needs the sqlite3 shell. The store is built beside its place and moved there
# only when it is complete: a run that fails (an unknown user or dataset, a
# sample that does not load) leaves an existing store as it was and no new one.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

help_text() {
  # The comment block at the top of this file, without its marks.
  awk 'NR == 1 { next } /^#/ { sub(/^# ?/, ""); print; next } { exit }' "$0"
}
usage() {
  help_text >&2
  exit 2
}

force=0 user=admin select= noselect=0
while [ $# -gt 0 ]; do
  case "$1" in
    --force) force=1; shift ;;
    --user|--select)
      [ $# -ge 2 ] || { echo "make-home: $1 needs a value" >&2; usage; }
      if [ "$1" = --user ]; then user=$2; else select=$2; fi
      shift 2 ;;
    --no-select) noselect=1; shift ;;
    -h|--help) help_text; exit 0 ;;
    --) shift; break ;;
    -*) echo "make-home: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || usage
home=$1; shift
if [ -n "$select" ] && ! [[ "$select" =~ ^[0-9]+$ ]]; then
  echo "make-home: --select takes a dataset number, not \"$select\"" >&2
  exit 2
fi

sample_path() {
  case "$1" in
    */*|*.sql) echo "$1" ;;
    *) echo "$top/samples/$1.sql" ;;
  esac
}
for s in "$@"; do
  [ -f "$(sample_path "$s")" ] || { echo "make-home: no sample $(sample_path "$s")" >&2; exit 1; }
done

db="$home/suite.db"
if [ -e "$db" ] && [ "$force" != 1 ]; then
  echo "make-home: $db exists (use --force)" >&2
  exit 1
fi
made_home=
if [ ! -d "$home" ]; then
  mkdir -p "$home"
  made_home=$home
fi
tmp=$(mktemp "$home/.suite.db.XXXXXX")
# Whatever ends the script before the store is in place takes the unfinished
# one with it, and the home folder when this run made it and it stayed empty.
cleanup() {
  rm -f "$tmp" "$tmp-journal"
  [ -z "$made_home" ] || rmdir "$made_home" 2>/dev/null || true
}
trap cleanup EXIT

sql() { sqlite3 -bail "$tmp" "$@"; }
sql < "$top/platform/suite/schema.sql"
sql < "$top/samples/users.sql"
first=
for s in "$@"; do
  before=$(sql "SELECT coalesce(max(data_no), 0) FROM datasets")
  sql < "$(sample_path "$s")"
  if [ -z "$first" ]; then
    first=$(sql "SELECT min(data_no) FROM datasets WHERE data_no > $before")
  fi
done

user_sql=${user//\'/\'\'}
if [ "$(sql "SELECT count(*) FROM users WHERE user_id = '$user_sql'")" != 1 ]; then
  echo "make-home: there is no user \"$user\"; the users are: $(sql "SELECT group_concat(user_id, ', ') FROM (SELECT user_id FROM users ORDER BY user_id)")" >&2
  exit 1
fi
if [ "$noselect" = 1 ]; then
  data=NULL
elif [ -n "$select" ]; then
  data=$((10#$select))
  if [ "$(sql "SELECT count(*) FROM datasets WHERE data_no = $data")" != 1 ]; then
    known=$(sql "SELECT group_concat(data_no || ' (' || company_name || ')', ', ') FROM (SELECT data_no, company_name FROM datasets ORDER BY data_no)")
    echo "make-home: there is no dataset $select in the samples loaded; the datasets are: ${known:-none}" >&2
    exit 1
  fi
elif [ -n "$first" ]; then
  data=$first
else
  data=NULL
fi
sql "PRAGMA foreign_keys = ON;
  INSERT INTO selection (id, user_id, selected_no, data_no) VALUES (1, '$user_sql', 1, $data);"
# mktemp makes the file for its owner only; the store gets what the umask allows.
chmod "$(printf '%o' $((0666 & ~0$(umask))))" "$tmp"
mv -f "$tmp" "$db"
made_home=
echo "$db"
