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
    closing_day       INTEGER NOT NULL DEFAULT 0       -- 0: each month's end; 1-28: that day
                      CHECK (closing_day BETWEEN 0 AND 28),
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
-- (accounts, departments, journal entries, fixed assets and the tax-code
-- table; each table keyed by data_no REFERENCES datasets(data_no))
