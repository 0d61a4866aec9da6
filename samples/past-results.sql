-- Dataset 5: the past results of the sample corporation's previous year
-- (past-data code 99), 原則課税, with values saved for that year.
PRAGMA foreign_keys = ON;

INSERT INTO datasets (data_no, data_id, company_name, period_from, period_to, closing_day,
                      half_year_closing, past_data_code, org_kind, income_kinds)
VALUES (5, X'5A4B0005000000000000000000000005', '株式会社サンプル商事（過年度）', 20230401, 20240331, 0,
        0, 99, 0, 0);

INSERT INTO tax_settings (data_no, taxation_kind, rounding_mode, deduction_method, main_business,
                          tax_included, sum_option, sum_value, tax_rate_count)
VALUES (5, 2, 1, 0, 0, 0, 0, 0, 5);

INSERT INTO saved_tax_fields VALUES (5, 3, 1, 1);
INSERT INTO saved_tax_fields VALUES (5, 4, 1, 1);
INSERT INTO saved_tax_fields VALUES (5, 6, 1, 1);
INSERT INTO saved_tax_fields VALUES (5, 7, 1, 1);
INSERT INTO saved_tax_fields VALUES (5, 9, 4, 20230401);
INSERT INTO saved_tax_fields VALUES (5, 13, 4, 20240331);
INSERT INTO saved_tax_fields VALUES (5, 29, 4, 20230401);
INSERT INTO saved_tax_fields VALUES (5, 33, 4, 20240331);
INSERT INTO saved_tax_fields VALUES (5, 39, 1, 1);
INSERT INTO saved_tax_fields VALUES (5, 12611, 8, 1000000000000); -- sales 10 %: 100,000,000 yen
INSERT INTO saved_tax_fields VALUES (5, 12619, 8, 100000000000);
INSERT INTO saved_tax_fields VALUES (5, 12627, 8, 1100000000000);
INSERT INTO saved_tax_fields VALUES (5, 13003, 8, 600000000000);  -- purchases 10 %
INSERT INTO saved_tax_fields VALUES (5, 13011, 8, 60000000000);
INSERT INTO saved_tax_fields VALUES (5, 13019, 8, 660000000000);
