-- The store of the bookkeeping-suite stand-in: one SQLite database, "suite.db"
-- in the suite home. Text columns hold UTF-8; the libraries hand text to the
-- program in code page 932.
--
-- KEY: a dataset is identified by datasets.data_no, its selection number (the
-- number the current user's selection names). Every per-dataset table has a
-- column `data_no INTEGER NOT NULL REFERENCES datasets(data_no)`. The dataset's
-- 16-byte ID (datasets.data_id) is what the program passes around as the
-- "current data ID"; the libraries look it up to find data_no.
--
-- Load order: this file, then any samples/<name>.sql, with the sqlite3 shell:
--   sqlite3 suite.db < platform/suite/schema.sql
--   sqlite3 suite.db < samples/corp-general.sql

PRAGMA foreign_keys = ON;

-- Store format version, checked when the store is opened.
CREATE TABLE store_info (
    id      INTEGER PRIMARY KEY CHECK (id = 1),
    version INTEGER NOT NULL
);
INSERT INTO store_info (id, version) VALUES (1, 1);

-- The company datasets (one row per set of books).
CREATE TABLE datasets (
    data_no           INTEGER PRIMARY KEY,             -- selection number (>= 1)
    data_id           BLOB    NOT NULL UNIQUE
                      CHECK (typeof(data_id) = 'blob' AND length(data_id) = 16),
    company_name      TEXT    NOT NULL DEFAULT '',
    period_from       INTEGER NOT NULL,                -- fiscal period start, yyyymmdd
    period_to         INTEGER NOT NULL,                -- fiscal period end, yyyymmdd
    closing_day       INTEGER NOT NULL DEFAULT 0       -- 0: each month's end; 1-31: that day (a shorter month closes on its last day)
                      CHECK (closing_day BETWEEN 0 AND 31),
    half_year_closing INTEGER NOT NULL DEFAULT 0 CHECK (half_year_closing IN (0, 1)),
    past_data_code    INTEGER NOT NULL DEFAULT 0,      -- 99: past-results data
    org_kind          INTEGER NOT NULL DEFAULT 0       -- 0/1 corporation, 3/4 individual
                      CHECK (org_kind IN (0, 1, 3, 4)),
    income_kinds      INTEGER NOT NULL DEFAULT 0       -- individual: 1 business, 2 real estate, 3-6 several
                      CHECK (income_kinds BETWEEN 0 AND 6),
    CHECK (period_from <= period_to)
);

-- Users of the suite.
CREATE TABLE users (
    user_id TEXT PRIMARY KEY CHECK (length(user_id) BETWEEN 1 AND 64),
    name    TEXT NOT NULL DEFAULT ''
);

-- The current user and what that user has selected (one row).
-- selected_no: the user's own selection number (first number of the pair);
-- data_no: the dataset the user works on (second number), NULL for none.
CREATE TABLE selection (
    id          INTEGER PRIMARY KEY CHECK (id = 1),
    user_id     TEXT    NOT NULL REFERENCES users(user_id),
    selected_no INTEGER NOT NULL DEFAULT 1,
    data_no     INTEGER REFERENCES datasets(data_no)
);

-- Consumption-tax settings of a dataset: the bytes of the 20-byte settings
-- record that have a meaning; all other bytes of the record are zero.
CREATE TABLE tax_settings (
    data_no          INTEGER PRIMARY KEY REFERENCES datasets(data_no) ON DELETE CASCADE,
    taxation_kind    INTEGER NOT NULL DEFAULT 2 CHECK (taxation_kind BETWEEN 0 AND 255), -- byte 0: 0 免税, 1 簡易課税, 2 原則課税
    rounding_mode    INTEGER NOT NULL DEFAULT 1 CHECK (rounding_mode BETWEEN 0 AND 255), -- byte 2: 0 round half up, 1 truncate, 2 round up
    deduction_method INTEGER NOT NULL DEFAULT 0 CHECK (deduction_method BETWEEN 0 AND 255), -- byte 3: 0 個別対応方式, 1 一括比例配分方式
    main_business    INTEGER NOT NULL DEFAULT 0 CHECK (main_business BETWEEN 0 AND 255),    -- byte 4: 0 指定なし, 1-6 第一種-第六種事業
    tax_included     INTEGER NOT NULL DEFAULT 0 CHECK (tax_included BETWEEN 0 AND 255),     -- byte 5: tax-included bookkeeping
    sum_option       INTEGER NOT NULL DEFAULT 0 CHECK (sum_option BETWEEN 0 AND 255),       -- byte 12: option of the tax summation
    sum_value        INTEGER NOT NULL DEFAULT 0                                             -- int32 at byte 16: value for the tax summation
                     CHECK (sum_value BETWEEN -2147483648 AND 2147483647),
    tax_rate_count   INTEGER NOT NULL DEFAULT 5 CHECK (tax_rate_count BETWEEN 0 AND 32767)
);

-- Values saved in the consumption-tax return screen: the whole 24,576-byte
-- record. No row means that nothing was saved for the dataset.
CREATE TABLE saved_tax (
    data_no INTEGER PRIMARY KEY REFERENCES datasets(data_no) ON DELETE CASCADE,
    info    BLOB NOT NULL CHECK (typeof(info) = 'blob' AND length(info) = 24576)
);

-- Editing help for saved values in plain SQL: inserting (data_no, offset,
-- width, value) writes `value` as a little-endian integer of `width` bytes
-- (1, 2, 4 or 8) at byte `offset` of the dataset's record, creating a zeroed
-- record first when none is stored. Amounts are 8 bytes in 1/10000 yen.
--   INSERT INTO saved_tax_fields VALUES (1, 3, 1, 1);
CREATE VIEW saved_tax_fields (data_no, offset, width, value) AS
    SELECT NULL, NULL, NULL, NULL WHERE 0;

CREATE TRIGGER saved_tax_fields_insert INSTEAD OF INSERT ON saved_tax_fields
BEGIN
    SELECT RAISE(ABORT, 'saved_tax_fields: width must be 1, 2, 4 or 8')
        WHERE NEW.width NOT IN (1, 2, 4, 8);
    SELECT RAISE(ABORT, 'saved_tax_fields: field outside the 24576-byte record')
        WHERE NEW.offset < 0 OR NEW.offset + NEW.width > 24576;
    INSERT OR IGNORE INTO saved_tax (data_no, info) VALUES (NEW.data_no, zeroblob(24576));
    UPDATE saved_tax SET info = CAST(
        substr(info, 1, NEW.offset)
        || substr((SELECT b FROM byte_values), ((NEW.value >> 0) & 255) + 1, 1)
        || CASE WHEN NEW.width > 1 THEN substr((SELECT b FROM byte_values), ((NEW.value >> 8) & 255) + 1, 1) ELSE X'' END
        || CASE WHEN NEW.width > 2 THEN substr((SELECT b FROM byte_values), ((NEW.value >> 16) & 255) + 1, 1)
                                     || substr((SELECT b FROM byte_values), ((NEW.value >> 24) & 255) + 1, 1) ELSE X'' END
        || CASE WHEN NEW.width > 4 THEN substr((SELECT b FROM byte_values), ((NEW.value >> 32) & 255) + 1, 1)
                                     || substr((SELECT b FROM byte_values), ((NEW.value >> 40) & 255) + 1, 1)
                                     || substr((SELECT b FROM byte_values), ((NEW.value >> 48) & 255) + 1, 1)
                                     || substr((SELECT b FROM byte_values), ((NEW.value >> 56) & 255) + 1, 1) ELSE X'' END
        || substr(info, NEW.offset + NEW.width + 1)
        AS BLOB)
    WHERE data_no = NEW.data_no;
END;

-- All 256 byte values in order, for building records in SQL.
CREATE VIEW byte_values (b) AS SELECT CAST(
    X'000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F'
 || X'202122232425262728292A2B2C2D2E2F303132333435363738393A3B3C3D3E3F'
 || X'404142434445464748494A4B4C4D4E4F505152535455565758595A5B5C5D5E5F'
 || X'606162636465666768696A6B6C6D6E6F707172737475767778797A7B7C7D7E7F'
 || X'808182838485868788898A8B8C8D8E8F909192939495969798999A9B9C9D9E9F'
 || X'A0A1A2A3A4A5A6A7A8A9AAABACADAEAFB0B1B2B3B4B5B6B7B8B9BABBBCBDBEBF'
 || X'C0C1C2C3C4C5C6C7C8C9CACBCCCDCECFD0D1D2D3D4D5D6D7D8D9DADBDCDDDEDF'
 || X'E0E1E2E3E4E5E6E7E8E9EAEBECEDEEEFF0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF' AS BLOB);

-- rule side
-- Accounts, departments, journal entries and fixed assets of a dataset. Amounts
-- are raw integers in 1/10000 yen; dates are yyyymmdd integers. The tax codes of
-- the entry sides are those of platform/suite/TAXCODES.md.

-- The tax codes of entry sides, for reading and writing entries in SQL; what
-- the summation makes of each is in platform/suite/TAXCODES.md.
CREATE TABLE tax_codes (
    code    INTEGER PRIMARY KEY,
    meaning TEXT NOT NULL
);
INSERT INTO tax_codes (code, meaning) VALUES
    (0, 'outside the tax'),
    (1, 'purchase for taxable sales'),
    (2, 'purchase for non-taxable sales'),
    (3, 'purchase common to taxable and non-taxable sales'),
    (4, 'purchase return, for taxable sales'),
    (5, 'purchase return, for non-taxable sales'),
    (6, 'purchase return, common'),
    (7, 'bad debt'),
    (8, 'bad debt collected after write-off'),
    (21, 'taxable sale'),
    (22, 'taxable sales return'),
    (23, 'exempt sale (export)'),
    (24, 'non-taxable purchase'),
    (25, 'exempt sales return'),
    (26, 'non-taxable sale of securities'),
    (27, 'other non-taxable sale'),
    (28, 'non-taxable sales return'),
    (29, 'export of a non-taxable asset'),
    (30, 'import, value of the goods'),
    (31, 'import for taxable sales, split undetermined'),
    (32, 'import for non-taxable sales, split undetermined'),
    (33, 'import common, split undetermined'),
    (34, 'import, class and split undetermined'),
    (35, 'import return for taxable sales, split undetermined'),
    (36, 'import return for non-taxable sales, split undetermined'),
    (37, 'import return common, split undetermined'),
    (40, 'import for taxable sales, national tax'),
    (41, 'import for non-taxable sales, national tax'),
    (42, 'import common, national tax'),
    (43, 'import, local tax'),
    (44, 'import return for taxable sales, national tax'),
    (45, 'import return for non-taxable sales, national tax'),
    (46, 'import return common, national tax'),
    (47, 'import return, local tax');

-- The account master. attr is the 32-bit attribute code, kept unsigned.
CREATE TABLE accounts (
    data_no      INTEGER NOT NULL REFERENCES datasets(data_no) ON DELETE CASCADE,
    code         INTEGER NOT NULL CHECK (code BETWEEN -2147483648 AND 2147483647),
    name         TEXT    NOT NULL DEFAULT '',
    attr         INTEGER NOT NULL DEFAULT 0 CHECK (attr BETWEEN 0 AND 4294967295),
    excluded     INTEGER NOT NULL DEFAULT 0 CHECK (excluded BETWEEN 0 AND 255),   -- account record byte 110
    sum_flag1    INTEGER NOT NULL DEFAULT 0 CHECK (sum_flag1 BETWEEN 0 AND 255),  -- summary byte 126
    sum_flag2    INTEGER NOT NULL DEFAULT 0 CHECK (sum_flag2 BETWEEN 0 AND 255),  -- summary byte 127
    sum_flag3    INTEGER NOT NULL DEFAULT 0 CHECK (sum_flag3 BETWEEN 0 AND 255),  -- summary byte 128
    balance_side INTEGER NOT NULL DEFAULT 1 CHECK (balance_side IN (1, 2)),      -- 1 debit, 2 credit
    PRIMARY KEY (data_no, code)
);
CREATE INDEX accounts_attr ON accounts (data_no, attr);

-- Departments. kind 0, 1 or 2; link tells linked kind-1 departments apart;
-- category 1 and 8 business, 3 real estate, others other income.
CREATE TABLE departments (
    data_no  INTEGER NOT NULL REFERENCES datasets(data_no) ON DELETE CASCADE,
    code     INTEGER NOT NULL CHECK (code BETWEEN -2147483648 AND 2147483647),
    name     TEXT    NOT NULL DEFAULT '',
    kind     INTEGER NOT NULL DEFAULT 0 CHECK (kind IN (0, 1, 2)),
    link     INTEGER NOT NULL DEFAULT 0 CHECK (link BETWEEN -2147483648 AND 2147483647),
    category INTEGER NOT NULL DEFAULT 0 CHECK (category BETWEEN 0 AND 255),
    PRIMARY KEY (data_no, code)
);

-- Journal entries: one row per entry with its debit (dr_) and credit (cr_)
-- side. month_kind is the month of the date within the fiscal year: 1 to 12,
-- 15 for the half-year closing, 18 for the year-end closing. A side's account
-- 0 means the side is empty. rate is x100 (0 = none stored: the summation
-- takes the substitute rate); reduced 1 only with 800. business 1 to 6 or 0;
-- invoice 0 qualified (or no invoice needed), 1 without a qualified invoice at
-- the 80 % transitional deduction, 2 at 50 %.
CREATE TABLE journal (
    entry_no    INTEGER PRIMARY KEY,
    data_no     INTEGER NOT NULL REFERENCES datasets(data_no) ON DELETE CASCADE,
    entry_date  INTEGER NOT NULL,
    month_kind  INTEGER NOT NULL CHECK (month_kind BETWEEN 1 AND 12 OR month_kind IN (15, 18)),
    dr_account  INTEGER NOT NULL DEFAULT 0,
    dr_dept     INTEGER NOT NULL DEFAULT 0,
    dr_amount   INTEGER NOT NULL DEFAULT 0,
    dr_tax      INTEGER NOT NULL DEFAULT 0,
    dr_tax_code INTEGER NOT NULL DEFAULT 0 CHECK (dr_tax_code IN (0,1,2,3,4,5,6,7,8,21,22,23,24,25,26,27,28,29,
                                                                30,31,32,33,34,35,36,37,40,41,42,43,44,45,46,47)),
    dr_rate     INTEGER NOT NULL DEFAULT 0 CHECK (dr_rate IN (0, 300, 500, 800, 1000)),
    dr_reduced  INTEGER NOT NULL DEFAULT 0 CHECK (dr_reduced = 0 OR (dr_reduced = 1 AND dr_rate = 800)),
    dr_business INTEGER NOT NULL DEFAULT 0 CHECK (dr_business BETWEEN 0 AND 6),
    dr_invoice  INTEGER NOT NULL DEFAULT 0 CHECK (dr_invoice IN (0, 1, 2)),
    cr_account  INTEGER NOT NULL DEFAULT 0,
    cr_dept     INTEGER NOT NULL DEFAULT 0,
    cr_amount   INTEGER NOT NULL DEFAULT 0,
    cr_tax      INTEGER NOT NULL DEFAULT 0,
    cr_tax_code INTEGER NOT NULL DEFAULT 0 CHECK (cr_tax_code IN (0,1,2,3,4,5,6,7,8,21,22,23,24,25,26,27,28,29,
                                                                30,31,32,33,34,35,36,37,40,41,42,43,44,45,46,47)),
    cr_rate     INTEGER NOT NULL DEFAULT 0 CHECK (cr_rate IN (0, 300, 500, 800, 1000)),
    cr_reduced  INTEGER NOT NULL DEFAULT 0 CHECK (cr_reduced = 0 OR (cr_reduced = 1 AND cr_rate = 800)),
    cr_business INTEGER NOT NULL DEFAULT 0 CHECK (cr_business BETWEEN 0 AND 6),
    cr_invoice  INTEGER NOT NULL DEFAULT 0 CHECK (cr_invoice IN (0, 1, 2)),
    -- an empty side carries nothing
    CHECK (dr_account <> 0 OR (dr_amount = 0 AND dr_tax = 0 AND dr_tax_code = 0)),
    CHECK (cr_account <> 0 OR (cr_amount = 0 AND cr_tax = 0 AND cr_tax_code = 0))
);
-- The walk order of the journal (by date, then entry number).
CREATE INDEX journal_order ON journal (data_no, entry_date, entry_no);
-- Every column that the counts of entries test (month, tax codes, business
-- kinds): a count reads this index alone, a fraction of the table.
CREATE INDEX journal_checks ON journal (data_no, month_kind, dr_tax_code, cr_tax_code, dr_business, cr_business);
-- Whether a side of a given rate exists: a look-up, not a pass.
CREATE INDEX journal_dr_rate ON journal (data_no, dr_rate, dr_reduced, dr_tax_code, month_kind);
CREATE INDEX journal_cr_rate ON journal (data_no, cr_rate, cr_reduced, cr_tax_code, month_kind);

-- The fixed-asset register. asset_class 9 is a deferred asset; income_class 1
-- and 3 business, 2 real estate.
CREATE TABLE fixed_assets (
    asset_no     INTEGER PRIMARY KEY,
    data_no      INTEGER NOT NULL REFERENCES datasets(data_no) ON DELETE CASCADE,
    code         INTEGER NOT NULL DEFAULT 0,
    name         TEXT    NOT NULL DEFAULT '',
    acq_date     INTEGER NOT NULL,
    asset_class  INTEGER NOT NULL DEFAULT 1,
    amount       INTEGER NOT NULL DEFAULT 0,
    income_class INTEGER NOT NULL DEFAULT 1 CHECK (income_class BETWEEN -32768 AND 32767)
);
CREATE INDEX fixed_assets_date ON fixed_assets (data_no, acq_date, asset_no);
