-- Dataset 2: a corporation under 簡易課税 (main business 第三種事業), calendar
-- fiscal year with a half-year closing, tax-included books. The company name
-- holds characters whose second byte is a backslash in code page 932.
PRAGMA foreign_keys = ON;

INSERT INTO datasets (data_no, data_id, company_name, period_from, period_to, closing_day,
                      half_year_closing, past_data_code, org_kind, income_kinds)
VALUES (2, X'5A4B0002000000000000000000000002', '有限会社ソ表工房', 20240101, 20241231, 0,
        1, 0, 1, 0);

INSERT INTO tax_settings (data_no, taxation_kind, rounding_mode, deduction_method, main_business,
                          tax_included, sum_option, sum_value, tax_rate_count)
VALUES (2, 1, 0, 0, 3, 1, 0, 0, 5);

INSERT INTO saved_tax_fields VALUES (2, 3, 1, 2);             -- 簡易課税
INSERT INTO saved_tax_fields VALUES (2, 4, 1, 1);
INSERT INTO saved_tax_fields VALUES (2, 6, 1, 0);
INSERT INTO saved_tax_fields VALUES (2, 7, 1, 0);
INSERT INTO saved_tax_fields VALUES (2, 9, 4, 20240101);
INSERT INTO saved_tax_fields VALUES (2, 13, 4, 20241231);
INSERT INTO saved_tax_fields VALUES (2, 29, 4, 20240101);
INSERT INTO saved_tax_fields VALUES (2, 33, 4, 20241231);
INSERT INTO saved_tax_fields VALUES (2, 39, 1, 2);            -- half-year closing (+1)
INSERT INTO saved_tax_fields VALUES (2, 12611, 8, 300000000000);  -- sales 10 %: 30,000,000 yen
INSERT INTO saved_tax_fields VALUES (2, 12619, 8, 30000000000);
INSERT INTO saved_tax_fields VALUES (2, 12627, 8, 330000000000);
INSERT INTO saved_tax_fields VALUES (2, 13563, 8, 300000000000);  -- simplified sales 10 %, third kind (13515 + 48)
INSERT INTO saved_tax_fields VALUES (2, 13571, 8, 30000000000);
INSERT INTO saved_tax_fields VALUES (2, 13579, 8, 330000000000);
