#!/usr/bin/env bash
# Builds a suite home whose store holds one large company, for benchmarks.
#
#   scripts/gen-large-store.sh [--force] [--entries N] [--assets N] corp|indiv HOME
#
# corp   a corporation under 原則課税 (個別対応方式), fiscal year April 2024 to
#        March 2025 (dataset 1)
# indiv  an individual under 原則課税 (一括比例配分方式) with business and
#        real-estate income, calendar year 2024 (dataset 3)
#
# The dataset gets 300 accounts (100 balance-sheet, 150 expense, 50 revenue
# accounts with the attribute codes of the samples), 30 departments, N journal
# entries (--entries, default 1,000,000) and fixed assets (--assets, default
# 2,000). Every entry
# has two sides; the entries run through every tax code of
# platform/suite/TAXCODES.md, every rate (10 %, 8 % reduced, 8 %, 5 %, 3 % and
# none stored), the business kinds and the invoice classes, spread over every
# month of the period, with every tenth entry booked on the reverse side (a
# correction) and every thousandth in the year-end closing. Entries are
# numbered in date order, as books are kept, except every fiftieth, which is
# entered late with a date anywhere in the period. The current user
# (admin) works on the dataset. Needs only bash and the sqlite3 shell.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

force=0 entries=1000000 assets=2000
while [ $# -gt 0 ]; do
  case "$1" in
    --force) force=1; shift ;;
    --entries) entries=$2; shift 2 ;;
    --assets) assets=$2; shift 2 ;;
    -*) echo "gen-large-store: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
if [ $# -ne 2 ] || { [ "$1" != corp ] && [ "$1" != indiv ]; }; then
  sed -n '2,19p' "$0" >&2
  exit 2
fi
kind=$1 home=$2
case "$entries$assets" in *[!0-9]*) echo "gen-large-store: counts must be numbers" >&2; exit 2 ;; esac

if [ "$kind" = corp ]; then
  data=1 org=0 incomes=0 from=20240401 to=20250331 start=2024-04-01 days=365 deduction=0
  name='株式会社ラージ商事'
  # 月度 of a calendar month in an April-to-March year
  month_sql="((CAST(strftime('%m', d) AS INTEGER) + 8) % 12) + 1"
else
  data=3 org=3 incomes=3 from=20240101 to=20241231 start=2024-01-01 days=366 deduction=1
  name='大量 花子'
  month_sql="CAST(strftime('%m', d) AS INTEGER)"
fi

mkdir -p "$home"
db="$home/suite.db"
if [ -e "$db" ]; then
  if [ "$force" = 1 ]; then rm -f "$db" "$db-journal" "$db-wal" "$db-shm"; else echo "gen-large-store: $db exists (use --force)" >&2; exit 1; fi
fi
sqlite3 -bail "$db" < "$top/platform/suite/schema.sql"
sqlite3 -bail "$db" < "$top/samples/users.sql"

sqlite3 -bail "$db" >/dev/null <<SQL
PRAGMA foreign_keys = ON;
PRAGMA journal_mode = OFF;
PRAGMA synchronous = OFF;
BEGIN;
INSERT INTO datasets (data_no, data_id, company_name, period_from, period_to, closing_day,
                      half_year_closing, past_data_code, org_kind, income_kinds)
VALUES ($data, X'5A4B00FF0000000000000000000000$(printf '%02X' "$data")', '$name', $from, $to, 0, 0, 0, $org, $incomes);
INSERT INTO tax_settings (data_no, taxation_kind, rounding_mode, deduction_method, main_business,
                          tax_included, sum_option, sum_value, tax_rate_count)
VALUES ($data, 2, 1, $deduction, 0, 0, 0, 0, 5);

-- Attribute codes of the samples by account group.
CREATE TEMP TABLE attr_bs (n INTEGER PRIMARY KEY, attr INTEGER, side INTEGER);
INSERT INTO attr_bs VALUES (0, 0x10000100, 1), (1, 0x10000200, 1), (2, 0x10100000, 1), (3, 0x30000100, 2), (4, 0x30000200, 2);
CREATE TEMP TABLE attr_exp (n INTEGER PRIMARY KEY, attr INTEGER, flag2 INTEGER);
INSERT INTO attr_exp VALUES (0, 0x40884400, 1), (1, 0x40882000, 1), (2, 0x40882040, 0), (3, 0x40882008, 0),
    (4, 0x40882010, 0), (5, 0x40844000, 1), (6, 0x40440000, 1), (7, 0x40882020, 0), (8, 0x40882004, 0),
    (9, 0x40844080, 0), (10, 0x40884400, 0), (11, 0x40882000, 0);
CREATE TEMP TABLE attr_rev (n INTEGER PRIMARY KEY, attr INTEGER);
INSERT INTO attr_rev VALUES (0, 0x50000100), (1, 0x50000200), (2, 0x50000300), (3, 0x50000400);

-- 300 accounts: 1000-1099 balance sheet, 4000-4149 expenses, 5000-5049 revenue.
WITH RECURSIVE k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < 149)
INSERT INTO accounts (data_no, code, name, attr, excluded, sum_flag1, sum_flag2, sum_flag3, balance_side)
SELECT $data, 1000 + i, '資産負債' || i, b.attr, 0, 0, 0, 0, b.side FROM k JOIN attr_bs b ON b.n = i % 5 WHERE i < 100
UNION ALL
SELECT $data, 4000 + i, '費用' || i, e.attr, 0, 0, e.flag2, 0, 1 FROM k JOIN attr_exp e ON e.n = i % 12
UNION ALL
SELECT $data, 5000 + i, '収益' || i, r.attr, 0, 0, 0, 0, 2 FROM k JOIN attr_rev r ON r.n = i % 4 WHERE i < 50;

-- 30 departments of every kind and category.
WITH RECURSIVE k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < 29)
INSERT INTO departments (data_no, code, name, kind, link, category)
SELECT $data, 10 * (i + 1), '部門' || i, i % 3, CASE WHEN i % 3 = 1 THEN i % 4 ELSE 0 END,
       CASE i % 4 WHEN 0 THEN 1 WHEN 1 THEN 3 WHEN 2 THEN 8 ELSE 2 END FROM k;

-- The tax codes in a fixed order; natural side 1 debit, 2 credit, 0 none;
-- grp the account group of the side that carries the code.
CREATE TEMP TABLE codes (n INTEGER PRIMARY KEY, code INTEGER, side INTEGER, grp INTEGER);
INSERT INTO codes (n, code, side, grp) VALUES
    (0, 0, 1, 4), (1, 1, 1, 4), (2, 2, 1, 4), (3, 3, 1, 4), (4, 4, 2, 4), (5, 5, 2, 4), (6, 6, 2, 4),
    (7, 7, 1, 4), (8, 8, 2, 5), (9, 21, 2, 5), (10, 22, 1, 5), (11, 23, 2, 5), (12, 24, 1, 4),
    (13, 25, 1, 5), (14, 26, 2, 5), (15, 27, 2, 5), (16, 28, 1, 5), (17, 29, 2, 5), (18, 30, 1, 4),
    (19, 31, 1, 4), (20, 32, 1, 4), (21, 33, 1, 4), (22, 34, 1, 4), (23, 35, 2, 4), (24, 36, 2, 4),
    (25, 37, 2, 4), (26, 40, 1, 4), (27, 41, 1, 4), (28, 42, 1, 4), (29, 43, 1, 4), (30, 44, 2, 4),
    (31, 45, 2, 4), (32, 46, 2, 4), (33, 47, 2, 4);
-- The rates: 10 %, 8 % reduced, 8 %, 5 %, 3 %, none stored.
CREATE TEMP TABLE rates (n INTEGER PRIMARY KEY, rate INTEGER, reduced INTEGER);
INSERT INTO rates VALUES (0, 1000, 0), (1, 800, 1), (2, 800, 0), (3, 500, 0), (4, 300, 0), (5, 0, 0);

WITH RECURSIVE k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < $entries - 1),
e AS (
    SELECT i,
           CASE WHEN i % 1000 = 999 THEN date('$start', '+$days days', '-1 day')
                WHEN i % 50 = 49 THEN date('$start', '+' || (i * 7919 % $days) || ' days')
                ELSE date('$start', '+' || (i * $days / $entries) || ' days') END AS d,
           c.code, c.grp, r.rate, r.reduced,
           -- the side that carries the code: its natural side, the other one for every tenth entry
           CASE WHEN i % 10 = 9 THEN 3 - (CASE c.side WHEN 0 THEN 1 ELSE c.side END)
                ELSE (CASE c.side WHEN 0 THEN 1 ELSE c.side END) END AS side,
           (1000 + (i * 37) % 99000) AS yen,
           CASE WHEN c.code IN (21, 22) THEN (i / 7) % 7 ELSE 0 END AS business,
           CASE WHEN c.code BETWEEN 1 AND 6 THEN (i / 11) % 3 ELSE 0 END AS invoice,
           CASE WHEN c.grp = 4 THEN 4000 + (i * 13) % 150 ELSE 5000 + (i * 13) % 50 END AS account,
           1000 + (i * 17) % 100 AS other,
           10 * ((i % 30) + 1) AS dept
    FROM k JOIN codes c ON c.n = i % 34 JOIN rates r ON r.n = (i / 34) % 6
),
t AS (SELECT *, yen * rate / 10000 AS tax_yen FROM e)
INSERT INTO journal (data_no, entry_date, month_kind, dr_account, dr_dept, dr_amount, dr_tax, dr_tax_code,
                     dr_rate, dr_reduced, dr_business, dr_invoice, cr_account, cr_dept, cr_amount, cr_tax,
                     cr_tax_code, cr_rate, cr_reduced, cr_business, cr_invoice)
SELECT $data, CAST(strftime('%Y%m%d', d) AS INTEGER),
       CASE WHEN i % 1000 = 999 THEN 18 ELSE $(echo "$month_sql") END,
       CASE side WHEN 1 THEN account ELSE other END, CASE side WHEN 1 THEN dept ELSE 0 END,
       CASE side WHEN 1 THEN yen * 10000 ELSE (yen + tax_yen) * 10000 END,
       CASE side WHEN 1 THEN tax_yen * 10000 ELSE 0 END,
       CASE side WHEN 1 THEN code ELSE 0 END, CASE side WHEN 1 THEN rate ELSE 0 END,
       CASE side WHEN 1 THEN reduced ELSE 0 END, CASE side WHEN 1 THEN business ELSE 0 END,
       CASE side WHEN 1 THEN invoice ELSE 0 END,
       CASE side WHEN 2 THEN account ELSE other END, CASE side WHEN 2 THEN dept ELSE 0 END,
       CASE side WHEN 2 THEN yen * 10000 ELSE (yen + tax_yen) * 10000 END,
       CASE side WHEN 2 THEN tax_yen * 10000 ELSE 0 END,
       CASE side WHEN 2 THEN code ELSE 0 END, CASE side WHEN 2 THEN rate ELSE 0 END,
       CASE side WHEN 2 THEN reduced ELSE 0 END, CASE side WHEN 2 THEN business ELSE 0 END,
       CASE side WHEN 2 THEN invoice ELSE 0 END
FROM t;

-- Fixed assets of every class over the period (and some acquired before it).
WITH RECURSIVE k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < $assets - 1)
INSERT INTO fixed_assets (data_no, code, name, acq_date, asset_class, amount, income_class)
SELECT $data, 100 + i, '資産' || i,
       CAST(strftime('%Y%m%d', date('$start', printf('%+d days', (i * 97) % ($days + 60) - 60))) AS INTEGER),
       (i % 9) + 1, (10000 + (i * 7919) % 5000000) * 10000, (i % 3) + 1
FROM k;

INSERT INTO selection (id, user_id, selected_no, data_no) VALUES (1, 'admin', 1, $data);
COMMIT;
ANALYZE;
SQL
echo "$db"
