-- Dataset 3: an individual under 原則課税 (一括比例配分方式) with business and
-- real-estate income, calendar year. Nothing saved in the tax return screen.
PRAGMA foreign_keys = ON;

INSERT INTO datasets (data_no, data_id, company_name, period_from, period_to, closing_day,
                      half_year_closing, past_data_code, org_kind, income_kinds)
VALUES (3, X'5A4B0003000000000000000000000003', '山田 太郎', 20240101, 20241231, 0,
        0, 0, 3, 3);

INSERT INTO tax_settings (data_no, taxation_kind, rounding_mode, deduction_method, main_business,
                          tax_included, sum_option, sum_value, tax_rate_count)
VALUES (3, 2, 1, 1, 0, 0, 0, 0, 5);
