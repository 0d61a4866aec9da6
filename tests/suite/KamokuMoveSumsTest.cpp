// The account summaries formed from one shared pass over the journal equal,
// for every department and for none, what a grouped query of that department's
// sides gives; the kept sums follow every change of the store.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdint>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "RuleFixture.h"
#include "suite/ClRuleKamoku.h"
#include "suite/ClRuleShohizeiShinkoku.h"
#include "suite/KamokuMoveSums.h"
#include "suite/RuleStatus.h"

namespace ruletest {
namespace {

struct Sums {
    int64_t kariNuki = 0, kariKomi = 0, kashiNuki = 0, kashiKomi = 0;
    bool operator==(const Sums& o) const
    {
        return kariNuki == o.kariNuki && kariKomi == o.kariKomi && kashiNuki == o.kashiNuki && kashiKomi == o.kashiKomi;
    }
};
// (account, slot) -> sums
using Expected = std::map<std::pair<long long, int>, Sums>;

class KamokuMoveSumsTest : public RuleStoreTest {
protected:
    // The summaries straight from one grouped query of the department's
    // sides (all sides without one), slot by slot as the store forms them,
    // the year-end closing copied after the last month of a short year.
    static Expected Reference(long long dataNo, int monthFrom, int monthTo, bool yearEnd, const long long* dept,
                              int nMonths)
    {
        std::string where = "data_no = " + std::to_string(dataNo) + " AND ((month_kind >= " + std::to_string(monthFrom) +
                            " AND month_kind <= " + std::to_string(monthTo) + ")" +
                            (yearEnd ? " OR month_kind = 18)" : ")");
        std::string dr = where + " AND dr_account <> 0", cr = where + " AND cr_account <> 0";
        if (dept) {
            dr += " AND dr_dept = " + std::to_string(*dept);
            cr += " AND cr_dept = " + std::to_string(*dept);
        }
        suite::Statement st = Store().Prepare(
            "SELECT account, month_kind, SUM(dn), SUM(dt), SUM(cn), SUM(ct) FROM ("
            " SELECT dr_account AS account, month_kind, dr_amount AS dn, dr_tax AS dt, 0 AS cn, 0 AS ct"
            " FROM journal WHERE " + dr + " UNION ALL"
            " SELECT cr_account, month_kind, 0, 0, cr_amount, cr_tax FROM journal WHERE " + cr +
            ") GROUP BY account, month_kind ORDER BY account, month_kind");
        EXPECT_TRUE(st.Valid()) << Store().LastError();
        Expected out;
        while (st.Step() == SUITE_OK) {
            const long long kind = st.Int(1);
            const int slot = kind == 18 ? 13 : kind == 15 ? 14 : static_cast<int>(kind);
            Sums s{st.Int(2), st.Int(2) + st.Int(3), st.Int(4), st.Int(4) + st.Int(5)};
            out[{st.Int(0), slot}] = s;
            if (slot == 13 && nMonths < 12)
                out[{st.Int(0), nMonths + 1}] = s;
        }
        return out;
    }

    // What the rule object hands out, in the same form; accounts in code order.
    static Expected FromRule(const DataRecord& data, const StFINDINFO* cond, const StBUMONINFO* dept,
                             std::vector<long long>* codes = nullptr, long* status = nullptr)
    {
        ClRuleKamoku rule;
        SetUpRule(rule, data);
        long s = rule.MoveReady(RuleKamokuSumType_Base_Move,
                                dept ? RuleKamokuSumType_Bmn_Group : RuleKamokuSumType_Bmn_None,
                                RuleKamokuSumType_Disptype_Normal, cond, dept, RuleKamokuSumType_Past_Current);
        if (status)
            *status = s;
        Expected out;
        if (s != SUITE_OK)
            return out;
        StKAMOKUSUMINFO sum;
        while (rule.MoveNext(&sum) == SUITE_OK) {
            if (codes)
                codes->push_back(sum.lKamokuCode);
            for (int slot = 0; slot < KAMOKUSUM_SLOTS; ++slot) {
                Sums v{sum.llKariNuki[slot], sum.llKariKomi[slot], sum.llKashiNuki[slot], sum.llKashiKomi[slot]};
                if (!(v == Sums{}))
                    out[{sum.lKamokuCode, slot}] = v;
            }
        }
        return out;
    }

    // Drops the reference's groups of accounts missing from the master and
    // groups whose sums are all zero (the records cannot tell them apart).
    static Expected Visible(Expected e, const std::vector<long long>& master)
    {
        for (auto it = e.begin(); it != e.end();) {
            bool known = false;
            for (long long c : master)
                known = known || c == it->first.first;
            it = (!known || it->second == Sums{}) ? e.erase(it) : std::next(it);
        }
        return e;
    }

    static StBUMONINFO Dept(long long code)
    {
        StBUMONINFO d;
        std::memset(&d, 0, sizeof d);
        d.lBumonCode = static_cast<int32_t>(code);
        d.byKind = 1;
        return d;
    }
};

// Random books of a short (six-month) year and a full one: every department
// (including one the master does not know, and none) and the whole dataset,
// for ranges with and without the closings, asked in an order that reuses the
// kept sums and in one that does not.
TEST_F(KamokuMoveSumsTest, EveryDepartmentAndTheWholeDatasetEqualTheirGroupedQueries)
{
    Exec("UPDATE datasets SET period_to = 20230930 WHERE data_no = 2");  // six 月度
    std::mt19937 rng(20240601);
    const long long accounts[] = {100, 110, 120, 200, 300, 999 /* not in the master */};
    const long long depts[] = {0, 10, 20, 30, 40 /* no department record */};
    const int kinds[] = {1, 2, 3, 4, 5, 6, 7, 12, 15, 18};
    for (int data : {1, 2}) {
        for (long long a : accounts)
            if (a != 999)
                AddAccount(data, a, 0x40882000u, 1 + static_cast<int>(a % 2));
    }
    for (long long d : {10, 20, 30})
        AddDept(1, d, 1, 0, 1);
    auto pick = [&](auto& arr) { return arr[rng() % (sizeof arr / sizeof arr[0])]; };
    auto amount = [&]() { return static_cast<long long>(rng() % 2000000) - 500000; };
    Exec("BEGIN");
    for (int i = 0; i < 3000; ++i) {
        const int data = 1 + static_cast<int>(rng() % 2);
        Side dr{pick(accounts), pick(depts), amount(), amount() / 10};
        Side cr{pick(accounts), pick(depts), amount(), amount() / 10};
        if (rng() % 17 == 0)
            dr = Side{};  // an empty side
        AddEntry(data, 20230401, pick(kinds), dr, cr);
    }
    Exec("COMMIT");

    struct Range {
        int from, to;
        bool half, year;
    };
    for (const Range& r : {Range{1, 12, false, true}, Range{1, 6, true, true}, Range{2, 5, false, false}}) {
        StFINDINFO cond[FINDINFO_RUN_TERMS];
        MonthRange(cond, r.from, r.to, r.half, r.year);
        for (int data : {1, 2}) {
            const DataRecord& rec = data == 1 ? kData1 : kData2;
            const int nMonths = data == 1 ? 12 : 6;
            // The half-year term adds kind 15 to the reference's range.
            auto reference = [&](const long long* dept) {
                Expected e = Reference(data, r.from, r.to, r.year, dept, nMonths);
                if (r.half) {
                    Expected h = Reference(data, 15, 15, false, dept, nMonths);
                    e.insert(h.begin(), h.end());
                }
                return e;
            };
            for (int round = 0; round < 2; ++round) {
                const long long passes = KamokuMoveSums::Passes();
                std::vector<long long> master;
                Expected whole = FromRule(rec, cond, nullptr, &master);
                ASSERT_EQ(master.size(), 5u);
                EXPECT_EQ(whole, Visible(reference(nullptr), master)) << "data " << data << " months " << r.from;
                for (long long d : depts) {
                    StBUMONINFO dept = Dept(d);
                    EXPECT_EQ(FromRule(rec, cond, &dept), Visible(reference(&d), master))
                        << "data " << data << " dept " << d << " months " << r.from << " round " << round;
                }
                // One pass in the first round, none in the second.
                EXPECT_EQ(KamokuMoveSums::Passes() - passes, round == 0 ? 1 : 0) << "round " << round;
                // The second round takes the sums the tax summation gathered
                // on its pass over the same entries.
                KamokuMoveSums::Forget();
                ClRuleShohizeiShinkoku tax;
                SetUpRule(tax, rec);
                std::vector<StTAXREPORTRATEINFO> rates(15);
                std::vector<StTAXREPORTBUSINESSTYPEINFO> kinds(30);
                tax.SumTax(2, cond, rates.data(), kinds.data(), 0, 0, 0);
            }
        }
    }
}

TEST_F(KamokuMoveSumsTest, KeptSumsFollowEveryChangeOfTheStore)
{
    AddAccount(1, 100, 0x40882000u);
    AddAccount(1, 200, 0x40882000u);
    AddEntry(1, 20230401, 1, Side{100, 10, 1000}, Side{200, 0, 1000});
    StFINDINFO cond[FINDINFO_RUN_TERMS];
    MonthRange(cond, 1, 12, false, true);
    StBUMONINFO dept = Dept(10);
    EXPECT_EQ(FromRule(kData1, cond, &dept)[std::make_pair(100LL, 1)].kariNuki, 1000);

    // Through this connection.
    AddEntry(1, 20230402, 1, Side{100, 10, 5}, Side{200, 0, 5});
    EXPECT_EQ(FromRule(kData1, cond, &dept)[std::make_pair(100LL, 1)].kariNuki, 1005);

    // Through another connection.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((dir_ + "/suite.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "UPDATE journal SET dr_amount = dr_amount * 2", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    EXPECT_EQ(FromRule(kData1, cond, &dept)[std::make_pair(100LL, 1)].kariNuki, 2010);

    // Another condition has sums of its own, and the first one's come back.
    StFINDINFO later[FINDINFO_RUN_TERMS];
    MonthRange(later, 2, 12, false, true);
    EXPECT_TRUE(FromRule(kData1, later, &dept).empty());
    EXPECT_EQ(FromRule(kData1, cond, &dept)[std::make_pair(100LL, 1)].kariNuki, 2010);
    EXPECT_EQ(FromRule(kData1, cond, nullptr)[std::make_pair(200LL, 1)].kashiNuki, 1005);
}

// A sum beyond the 64-bit range is refused for the summaries it belongs to
// (its department's, and the whole dataset's), not for another department.
TEST_F(KamokuMoveSumsTest, ASumBeyondTheRangeIsRefusedWhereItBelongs)
{
    AddAccount(1, 100, 0x40882000u);
    AddAccount(1, 200, 0x40882000u);
    const long long big = std::numeric_limits<long long>::max() - 10;
    AddEntry(1, 20230401, 1, Side{100, 7, big}, Side{200, 8, 1});
    AddEntry(1, 20230402, 1, Side{100, 7, 20}, Side{200, 8, 1});
    StFINDINFO cond[FINDINFO_RUN_TERMS];
    MonthRange(cond, 1, 12, false, true);
    long status = 0;
    StBUMONINFO seven = Dept(7), eight = Dept(8);
    FromRule(kData1, cond, &seven, nullptr, &status);
    EXPECT_EQ(status, SUITE_ERR_STORE);
    FromRule(kData1, cond, nullptr, nullptr, &status);
    EXPECT_EQ(status, SUITE_ERR_STORE);
    Expected e = FromRule(kData1, cond, &eight, nullptr, &status);
    EXPECT_EQ(status, SUITE_OK);
    EXPECT_EQ((e[std::make_pair(200LL, 1)].kashiNuki), 2);

    // Amount plus tax beyond the range: the summary cannot be formed.
    Exec("DELETE FROM journal");
    AddEntry(1, 20230401, 1, Side{100, 7, big, 20}, Side{200, 8, 1});
    FromRule(kData1, cond, &seven, nullptr, &status);
    EXPECT_EQ(status, RULE_ERR_OVERFLOW);
}

} // namespace
} // namespace ruletest
