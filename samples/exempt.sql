-- Dataset 4: a corporation exempt from consumption tax (免税), closing on the
-- 20th of each month: the fiscal year runs from 21 March to 20 March.
PRAGMA foreign_keys = ON;

INSERT INTO datasets (data_no, data_id, company_name, period_from, period_to, closing_day,
                      half_year_closing, past_data_code, org_kind, income_kinds)
VALUES (4, X'5A4B0004000000000000000000000004', '合同会社免税ストア', 20240321, 20250320, 20,
        0, 0, 0, 0);

INSERT INTO tax_settings (data_no, taxation_kind, rounding_mode, deduction_method, main_business,
                          tax_included, sum_option, sum_value, tax_rate_count)
VALUES (4, 0, 1, 0, 0, 0, 0, 0, 5);
