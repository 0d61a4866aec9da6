-- The figures of the golden files, worked out from the sample store without
-- the program: run on a store built by scripts/make-home.sh from the sample,
--   sqlite3 -header -column HOME/suite.db < tests/e2e/golden/figures.sql
-- Amounts are shown in yen (raw amounts / 10000). The month range is the
-- whole fiscal year: month kinds 1 to 12 and the year-end closing (18); the
-- half-year closing (15) counts only for a range that ends at the sixth month.

-- Every side of every entry, with the substitute rate (10 %) for a side
-- stored without a rate.
CREATE TEMP VIEW sides AS
    SELECT data_no, month_kind, 'dr' AS side, dr_account AS account, dr_dept AS dept, dr_tax_code AS code,
           CASE dr_rate WHEN 0 THEN 1000 ELSE dr_rate END AS rate, dr_reduced AS reduced,
           dr_business AS kind, dr_invoice AS invoice, dr_amount AS amount, dr_tax AS tax FROM journal
    UNION ALL
    SELECT data_no, month_kind, 'cr', cr_account, cr_dept, cr_tax_code,
           CASE cr_rate WHEN 0 THEN 1000 ELSE cr_rate END, cr_reduced,
           cr_business, cr_invoice, cr_amount, cr_tax FROM journal;
CREATE TEMP VIEW in_range AS
    SELECT * FROM sides WHERE month_kind BETWEEN 1 AND 12 OR month_kind = 18;

.print '== 1. Journal sides by tax code and rate (group 1 of the rate records)'
SELECT data_no, code, side, rate, reduced, count(*) AS n,
       sum(amount) / 10000.0 AS excl, sum(tax) / 10000.0 AS tax, sum(amount + tax) / 10000.0 AS incl
FROM in_range WHERE code <> 0 GROUP BY data_no, code, side, rate, reduced ORDER BY data_no, code, side, rate DESC;

.print '== 2. Purchases without a qualified invoice (groups 2 and 3: invoice class 1 and 2)'
SELECT data_no, invoice, code, rate, sum(amount) / 10000.0 AS excl, sum(tax) / 10000.0 AS tax,
       sum(amount + tax) / 10000.0 AS incl
FROM in_range WHERE code BETWEEN 1 AND 6 AND invoice IN (1, 2) GROUP BY data_no, invoice, code, rate;

.print '== 3. Taxable sales and their returns by business kind (kind records)'
SELECT data_no, code, rate, reduced, kind, sum(amount) / 10000.0 AS excl, sum(tax) / 10000.0 AS tax,
       sum(amount + tax) / 10000.0 AS incl
FROM in_range WHERE code IN (21, 22) GROUP BY data_no, code, rate, reduced, kind ORDER BY data_no, code, rate DESC, kind;

.print '== 4. Refund statement, settlement amounts: debit minus credit per account in the range'
.print '   (tax-included books take amount + tax), with the account attribute and its flags'
SELECT s.data_no, s.account, a.name, printf('0x%08X', a.attr) AS attr, a.sum_flag2 AS flag127, s.dept,
       sum(CASE s.side WHEN 'dr' THEN 1 ELSE -1 END
           * (s.amount + CASE t.tax_included WHEN 0 THEN 0 ELSE s.tax END)) / 10000.0 AS net
FROM in_range s JOIN accounts a ON a.data_no = s.data_no AND a.code = s.account
JOIN tax_settings t ON t.data_no = s.data_no
WHERE (a.attr >> 28) IN (2, 4, 8)
GROUP BY s.data_no, s.account, s.dept ORDER BY s.data_no, s.account, s.dept;

.print '== 5. Refund statement, journal amounts: sides with tax code 20 or less, 24, or 30 and more'
SELECT s.data_no, s.account, printf('0x%08X', a.attr) AS attr, s.dept,
       sum(CASE s.side WHEN 'dr' THEN 1 ELSE -1 END
           * (s.amount + CASE t.tax_included WHEN 0 THEN 0 ELSE s.tax END)) / 10000.0 AS journal
FROM in_range s JOIN accounts a ON a.data_no = s.data_no AND a.code = s.account
JOIN tax_settings t ON t.data_no = s.data_no
WHERE (a.attr >> 28) IN (2, 4, 8) AND (s.code <= 20 OR s.code = 24 OR s.code >= 30)
GROUP BY s.data_no, s.account, s.dept ORDER BY s.data_no, s.account, s.dept;

.print '== 6. Fixed assets acquired in the fiscal period'
SELECT f.data_no, f.code, f.name, f.acq_date, f.asset_class, f.income_class, f.amount / 10000.0 AS amount
FROM fixed_assets f JOIN datasets d ON d.data_no = f.data_no
WHERE f.acq_date BETWEEN d.period_from AND d.period_to ORDER BY f.data_no, f.code;

.print '== 7. Saved tax-return values: the header bytes and every non-zero 8-byte amount at the offsets read'
WITH RECURSIVE i(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM i WHERE n < 7),
offsets(off, what) AS (VALUES
    (12611, 'sales 10 % excl'), (12619, 'sales 10 % tax'), (12627, 'sales 10 % incl'),
    (14340, 'sales 8K excl'), (14348, 'sales 8K tax'), (14356, 'sales 8K incl'),
    (13003, 'purchases KAZEI 10 % excl'), (13011, 'purchases KAZEI 10 % tax'), (13019, 'purchases KAZEI 10 % incl'),
    (14291, 'specified purchases KAZEI 10 %'),
    (13515 + 48, 'simplified sales kind 3 10 % excl'), (13515 + 56, 'kind 3 tax'), (13515 + 64, 'kind 3 incl'),
    (17349, 'taxable sales of the exempt period'), (9868, 'refund statement slot 0')),
bytes AS (SELECT s.data_no, o.off, o.what, i.n, hex(substr(s.info, o.off + 1 + i.n, 1)) AS h
          FROM saved_tax s, offsets o, i)
SELECT data_no, off, what,
       sum(((instr('0123456789ABCDEF', substr(h, 1, 1)) - 1) * 16 + instr('0123456789ABCDEF', substr(h, 2, 1)) - 1)
           << (8 * n)) / 10000.0 AS yen
FROM bytes GROUP BY data_no, off HAVING yen <> 0 ORDER BY data_no, off;
SELECT data_no, hex(substr(info, 4, 1)) AS byte3_kind, hex(substr(info, 5, 1)) AS byte4,
       hex(substr(info, 7, 1)) AS byte6_sales, hex(substr(info, 8, 1)) AS byte7_purchases,
       hex(substr(info, 9, 1)) AS byte8_transitional, hex(substr(info, 17345, 1)) AS byte17344_niwari
FROM saved_tax ORDER BY data_no;
.print '== 8. Fiscal year of the saved return (4-byte values at 17 and 21) beside the dataset period'
WITH i(n) AS (VALUES (0), (1), (2), (3)),
fields(off) AS (VALUES (17), (21)),
bytes AS (SELECT s.data_no, f.off, i.n, hex(substr(s.info, f.off + 1 + i.n, 1)) AS h FROM saved_tax s, fields f, i),
dates AS (SELECT data_no, off,
                 sum(((instr('0123456789ABCDEF', substr(h, 1, 1)) - 1) * 16
                      + instr('0123456789ABCDEF', substr(h, 2, 1)) - 1) << (8 * n)) AS value
          FROM bytes GROUP BY data_no, off)
SELECT d.data_no, d.period_from, d.period_to,
       (SELECT value FROM dates WHERE dates.data_no = d.data_no AND off = 17) AS saved_from,
       (SELECT value FROM dates WHERE dates.data_no = d.data_no AND off = 21) AS saved_to
FROM datasets d WHERE d.data_no IN (SELECT data_no FROM saved_tax) ORDER BY d.data_no;
.print '== 9. Dataset and tax settings (organisation kind, income kinds, taxation kind, rounding, tax-included books)'
SELECT d.data_no, d.company_name, d.org_kind, d.income_kinds, d.half_year_closing, t.taxation_kind,
       t.rounding_mode, t.deduction_method, t.tax_included
FROM datasets d JOIN tax_settings t ON t.data_no = d.data_no ORDER BY d.data_no;
