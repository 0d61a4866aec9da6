// A small store for the rule-side tests: a temporary store file made current,
// with one dataset (and a second one whose data must never show), and helpers
// to put accounts, departments, journal entries and assets into it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>

#include "suite/ClRuleBase.h"
#include "suite/FindInfo.h"
#include "suite/SuiteStore.h"
#include "tests/support/FindTerms.h"
#include "tests/support/TestTemp.h"

namespace ruletest {

// The dataset records' IDs; the rule objects take the record's address.
struct DataRecord {
    unsigned char id[16];
};
inline const DataRecord kData1 = {{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 1, 2, 3, 4, 5, 6, 7, 8}};
inline const DataRecord kData2 = {{0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6, 0x07, 0x18, 8, 7, 6, 5, 4, 3, 2, 1}};

struct Side {
    long long account = 0, dept = 0, amount = 0, tax = 0;
    int taxCode = 0, rate = 0, reduced = 0, business = 0, invoice = 0;
};

using findtest::MonthRange;
using findtest::Nest;
using findtest::Term;

class RuleStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = testtemp::Make("zk_rules_");
        auto store = std::make_unique<suite::SuiteStore>();
        std::string why;
        ASSERT_EQ(store->Create(dir_ + "/suite.db", &why), SUITE_OK) << why;
        suite::SuiteStore::SetCurrent(std::move(store));
        AddDataset(1, kData1);
        AddDataset(2, kData2);
    }
    void TearDown() override
    {
        suite::SuiteStore::SetCurrent(nullptr);
        std::string cmd = "rm -rf '" + dir_ + "'";
        if (std::system(cmd.c_str()) != 0)
            ADD_FAILURE() << "could not remove " << dir_;
    }

    static suite::SuiteStore& Store() { return *suite::SuiteStore::Current(); }

    static void Exec(const std::string& sql) { ASSERT_EQ(Store().Exec(sql), SUITE_OK) << Store().LastError() << "\n" << sql; }

    static void AddDataset(int no, const DataRecord& rec)
    {
        suite::Statement st = Store().Prepare(
            "INSERT INTO datasets (data_no, data_id, period_from, period_to) VALUES (?, ?, 20230401, 20240331)");
        st.Bind(1, no).BindBlob(2, rec.id, sizeof rec.id);
        ASSERT_EQ(st.Step(), SUITE_EOD) << st.ErrorText();
    }

    static void AddAccount(int data, long long code, unsigned long attr, int balance = 1, int excluded = 0,
                           int f1 = 0, int f2 = 0, int f3 = 0, const std::string& name = "")
    {
        suite::Statement st = Store().Prepare(
            "INSERT INTO accounts (data_no, code, name, attr, excluded, sum_flag1, sum_flag2, sum_flag3, balance_side)"
            " VALUES (?,?,?,?,?,?,?,?,?)");
        st.Bind(1, data).Bind(2, code).BindText(3, name).Bind(4, static_cast<long long>(attr)).Bind(5, excluded);
        st.Bind(6, f1).Bind(7, f2).Bind(8, f3).Bind(9, balance);
        ASSERT_EQ(st.Step(), SUITE_EOD) << st.ErrorText();
    }

    static void AddDept(int data, long long code, int kind, long long link, int category, const std::string& name = "")
    {
        suite::Statement st = Store().Prepare(
            "INSERT INTO departments (data_no, code, name, kind, link, category) VALUES (?,?,?,?,?,?)");
        st.Bind(1, data).Bind(2, code).BindText(3, name).Bind(4, kind).Bind(5, link).Bind(6, category);
        ASSERT_EQ(st.Step(), SUITE_EOD) << st.ErrorText();
    }

    // Adds an entry; returns its entry number.
    static long long AddEntry(int data, int date, int monthKind, const Side& dr, const Side& cr)
    {
        suite::Statement st = Store().Prepare(
            "INSERT INTO journal (data_no, entry_date, month_kind,"
            " dr_account, dr_dept, dr_amount, dr_tax, dr_tax_code, dr_rate, dr_reduced, dr_business, dr_invoice,"
            " cr_account, cr_dept, cr_amount, cr_tax, cr_tax_code, cr_rate, cr_reduced, cr_business, cr_invoice)"
            " VALUES (?,?,?, ?,?,?,?,?,?,?,?,?, ?,?,?,?,?,?,?,?,?)");
        st.Bind(1, data).Bind(2, date).Bind(3, monthKind);
        int i = 4;
        for (const Side* s : {&dr, &cr})
            for (long long v : {s->account, s->dept, s->amount, s->tax, static_cast<long long>(s->taxCode),
                                static_cast<long long>(s->rate), static_cast<long long>(s->reduced),
                                static_cast<long long>(s->business), static_cast<long long>(s->invoice)})
                st.Bind(i++, v);
        EXPECT_EQ(st.Step(), SUITE_EOD) << st.ErrorText();
        long long no = -1;
        suite::Statement last = Store().Prepare("SELECT last_insert_rowid()");
        if (last.Step() == SUITE_OK)
            no = last.Int(0);
        return no;
    }

    static void AddAsset(int data, int date, int assetClass, long long amount, int incomeClass, int code = 0,
                         const std::string& name = "")
    {
        suite::Statement st = Store().Prepare(
            "INSERT INTO fixed_assets (data_no, code, name, acq_date, asset_class, amount, income_class)"
            " VALUES (?,?,?,?,?,?,?)");
        st.Bind(1, data).Bind(2, code).BindText(3, name).Bind(4, date).Bind(5, assetClass).Bind(6, amount);
        st.Bind(7, incomeClass);
        ASSERT_EQ(st.Step(), SUITE_EOD) << st.ErrorText();
    }

    // The set-up every rule object gets before its first query.
    template <class Rule>
    static void SetUpRule(Rule& rule, const DataRecord& data = kData1)
    {
        ASSERT_EQ(rule.AttachSetMgr(SetMgr()), SUITE_OK);
        ASSERT_EQ(rule.SetCurDataID(&data), SUITE_OK);
        ASSERT_EQ(rule.AttachOptLink(OptLink()), SUITE_OK);
    }

    static ClSetMgr* SetMgr();
    static ClOptLink* OptLink();

    std::string dir_;
};

} // namespace ruletest
