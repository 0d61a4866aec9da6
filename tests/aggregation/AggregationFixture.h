// A connected suite over a small store built in the test: one dataset
// (1 April 2023 to 31 March 2024, month kind 1 = April), selected by the
// user "admin", with its tax settings; and a script backend with a
// transcript of its own. Tests add accounts, departments, entries and assets
// and change the dataset's settings before they aggregate.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "../support/FindTerms.h"
#include "../support/ScriptRun.h"
#include "aggregation/AddTaxDlg.h"
#include "aggregation/ShiwakeJoken.h"
#include "suite/ClAccConnect.h"
#include "suite/ClDataMgr.h"
#include "suite/ClSetData.h"
#include "suite/SuiteStore.h"

namespace aggtest {

// Yen to raw amounts (1/10000 yen).
constexpr long long Y(long long yen) { return yen * 10000; }

struct Side {
    long long account = 0, dept = 0, amount = 0, tax = 0;
    int taxCode = 0, rate = 0, reduced = 0, business = 0, invoice = 0;
};

using findtest::MonthRange;

class AggregationTest : public ::testing::Test {
protected:
    void SetUp() override { Start(""); }

    void TearDown() override
    {
        dlg_.reset();
        ClAccConnect::Inst()->LogOut();
        ClAccConnect::Inst()->Terminate();
        ClAccConnect::Inst()->Release();
        run_.reset();
    }

    // A fresh home, store and connection, with `script` for the backend.
    void Start(const std::string& script)
    {
        dlg_.reset();
        if (run_) {
            ClAccConnect::Inst()->LogOut();
            ClAccConnect::Inst()->Terminate();
            ClAccConnect::Inst()->Release();
        }
        run_ = std::make_unique<ScriptRun>(script);
        {
            suite::SuiteStore store;
            std::string why;
            ASSERT_EQ(store.Create(run_->Dir() + "/suite.db", &why), SUITE_OK) << why;
            ASSERT_EQ(store.Exec("INSERT INTO users (user_id, name) VALUES ('admin', 'admin');"
                                 "INSERT INTO datasets (data_no, data_id, company_name, period_from, period_to)"
                                 " VALUES (1, X'41470001000000000000000000000001', 'test', 20230401, 20240331);"
                                 "INSERT INTO tax_settings (data_no) VALUES (1);"
                                 "INSERT INTO selection VALUES (1, 'admin', 1, 1);"),
                      SUITE_OK)
                << store.LastError();
        }
        ClAccConnect* conn = ClAccConnect::Inst();
        conn->SetAppType(ClSysEnvMgr::APPTYPE_STANDARD);
        conn->SetUseDataType(3);
        ASSERT_EQ(conn->Initiate(), SUITE_OK);
        ASSERT_EQ(conn->ExpSysLink(), 0);
        dlg_ = std::make_unique<CAddTaxDlg>();
        ASSERT_TRUE(dlg_->Create(CAddTaxDlg::IDD));
        MonthRange(dlg_->m_findInfo, 1, 12, false, true);
        dlg_->m_nKazeiKubun = 2;
    }

    static void Exec(const std::string& sql)
    {
        ASSERT_EQ(suite::SuiteStore::Current()->Exec(sql), SUITE_OK) << suite::SuiteStore::Current()->LastError()
                                                                     << "\n" << sql;
    }

    // The selected dataset's record and its tax settings, as the run holds them.
    StDATAINFO Data()
    {
        StDATAINFO d;
        std::memset(&d, 0, sizeof d);
        ClSetData* set = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
        const StDATAINFO* p = set ? set->GetSelectedInfo() : nullptr;
        EXPECT_NE(p, nullptr);
        if (p)
            d = *p;
        return d;
    }
    StSHOHIZEIINFO Settings(bool zeikomi = false)
    {
        StSHOHIZEIINFO s;
        std::memset(&s, 0, sizeof s);
        s.byKazeiKubun = 2;
        s.byZeikomi = zeikomi ? 1 : 0;
        return s;
    }

    static void AddAccount(long long code, unsigned long attr, int balance = 1, int excluded = 0, int f1 = 0,
                           int f2 = 0, int f3 = 0)
    {
        Exec("INSERT INTO accounts (data_no, code, attr, excluded, sum_flag1, sum_flag2, sum_flag3, balance_side)"
             " VALUES (1," + std::to_string(code) + "," + std::to_string(attr) + "," + std::to_string(excluded) +
             "," + std::to_string(f1) + "," + std::to_string(f2) + "," + std::to_string(f3) + "," +
             std::to_string(balance) + ")");
    }

    static void AddDept(long long code, int kind, long long link, int category)
    {
        Exec("INSERT INTO departments (data_no, code, kind, link, category) VALUES (1," + std::to_string(code) + "," +
             std::to_string(kind) + "," + std::to_string(link) + "," + std::to_string(category) + ")");
    }

    // A date of the month kind (1 April ... 12 March; 15 and 18 the closings).
    static int DateOf(int kind)
    {
        if (kind == 15)
            return 20230930;
        if (kind == 18)
            return 20240331;
        const int month = (kind + 2) % 12 + 1;
        return (kind <= 9 ? 2023 : 2024) * 10000 + month * 100 + 15;
    }

    static void AddEntry(int monthKind, const Side& dr, const Side& cr)
    {
        std::string sql = "INSERT INTO journal (data_no, entry_date, month_kind,"
                          " dr_account, dr_dept, dr_amount, dr_tax, dr_tax_code, dr_rate, dr_reduced, dr_business,"
                          " dr_invoice, cr_account, cr_dept, cr_amount, cr_tax, cr_tax_code, cr_rate, cr_reduced,"
                          " cr_business, cr_invoice) VALUES (1," +
                          std::to_string(DateOf(monthKind)) + "," + std::to_string(monthKind);
        for (const Side* s : {&dr, &cr})
            for (long long v : {s->account, s->dept, s->amount, s->tax, static_cast<long long>(s->taxCode),
                                static_cast<long long>(s->rate), static_cast<long long>(s->reduced),
                                static_cast<long long>(s->business), static_cast<long long>(s->invoice)})
                sql += "," + std::to_string(v);
        Exec(sql + ")");
    }

    static void AddAsset(int date, int assetClass, long long amount, int incomeClass)
    {
        Exec("INSERT INTO fixed_assets (data_no, acq_date, asset_class, amount, income_class) VALUES (1," +
             std::to_string(date) + "," + std::to_string(assetClass) + "," + std::to_string(amount) + "," +
             std::to_string(incomeClass) + ")");
    }

    std::unique_ptr<ScriptRun> run_;
    std::unique_ptr<CAddTaxDlg> dlg_;
};

} // namespace aggtest
