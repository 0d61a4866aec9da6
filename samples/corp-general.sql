-- Dataset 1: a corporation under 原則課税 (個別対応方式), fiscal year April to
-- March, tax-excluded books, with values saved in the tax return screen for
-- the current period.
PRAGMA foreign_keys = ON;

INSERT INTO datasets (data_no, data_id, company_name, period_from, period_to, closing_day,
                      half_year_closing, past_data_code, org_kind, income_kinds)
VALUES (1, X'5A4B0001000000000000000000000001', '株式会社サンプル商事', 20240401, 20250331, 0,
        0, 0, 0, 0);

INSERT INTO tax_settings (data_no, taxation_kind, rounding_mode, deduction_method, main_business,
                          tax_included, sum_option, sum_value, tax_rate_count)
VALUES (1, 2, 1, 0, 0, 0, 0, 0, 5);

-- Saved tax-return values (offsets of the 24,576-byte record; amounts are
-- 8-byte values in 1/10000 yen).
INSERT INTO saved_tax_fields VALUES (1, 3, 1, 1);             -- 原則課税
INSERT INTO saved_tax_fields VALUES (1, 4, 1, 1);             -- 個別対応方式 (+1)
INSERT INTO saved_tax_fields VALUES (1, 6, 1, 0);             -- sales: 割り戻し
INSERT INTO saved_tax_fields VALUES (1, 7, 1, 1);             -- purchases: 積み上げ
INSERT INTO saved_tax_fields VALUES (1, 9, 4, 20240401);      -- fiscal period
INSERT INTO saved_tax_fields VALUES (1, 13, 4, 20250331);
INSERT INTO saved_tax_fields VALUES (1, 29, 4, 20240401);     -- taxable period
INSERT INTO saved_tax_fields VALUES (1, 33, 4, 20250331);
INSERT INTO saved_tax_fields VALUES (1, 39, 1, 1);            -- no half-year closing (+1)
INSERT INTO saved_tax_fields VALUES (1, 12611, 8, 1200000000000); -- sales 10 %: 120,000,000 yen
INSERT INTO saved_tax_fields VALUES (1, 12619, 8, 120000000000);  --   tax 12,000,000 yen
INSERT INTO saved_tax_fields VALUES (1, 12627, 8, 1320000000000); --   with tax
INSERT INTO saved_tax_fields VALUES (1, 14340, 8, 80000000000);   -- sales reduced 8 %: 8,000,000 yen
INSERT INTO saved_tax_fields VALUES (1, 14348, 8, 6400000000);
INSERT INTO saved_tax_fields VALUES (1, 14356, 8, 86400000000);
INSERT INTO saved_tax_fields VALUES (1, 13003, 8, 700000000000);  -- purchases 10 %: 70,000,000 yen
INSERT INTO saved_tax_fields VALUES (1, 13011, 8, 70000000000);
INSERT INTO saved_tax_fields VALUES (1, 13019, 8, 770000000000);
INSERT INTO saved_tax_fields VALUES (1, 14291, 8, 20000000000);   -- specified purchases 10 %: 2,000,000 yen
