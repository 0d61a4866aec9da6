// Account summaries per account and per department equal the hand sums of
// the journal entries of the condition's months.
#include <gtest/gtest.h>

#include <vector>

#include "RuleFixture.h"
#include "suite/ClRuleKamoku.h"
#include "suite/RuleStatus.h"

namespace ruletest {
namespace {

class ClRuleKamokuTest : public RuleStoreTest {
protected:
    void SetUp() override
    {
        RuleStoreTest::SetUp();
        AddAccount(1, 300, 0x40882000u, 1, 0, 1, 0, 0, "雑費");
        AddAccount(1, 100, 0x80881080u, 1, 0, 0, 1, 2, "仕入高");
        AddAccount(1, 200, 0x20400000u, 2);
        AddAccount(2, 100, 0x11u);
        // month 1: 100 (dept 1) 10000 + 1000 tax / 200 11000
        AddEntry(1, 20230401, 1, Side{100, 1, 10000, 1000}, Side{200, 0, 11000});
        // month 1: 100 (dept 2) 5000 + 500 / 200 5500
        AddEntry(1, 20230402, 1, Side{100, 2, 5000, 500}, Side{200, 0, 5500});
        // year-end closing: 200 / 100 (dept 1) 300
        AddEntry(1, 20240331, 18, Side{200, 0, 300}, Side{100, 1, 300});
        // half-year closing: 100 (dept 1) 70 + 7 / 999 (no such account) 77
        AddEntry(1, 20230930, 15, Side{100, 1, 70, 7}, Side{999, 0, 77});
        // month 3, outside the condition
        AddEntry(1, 20230601, 3, Side{100, 1, 1}, Side{200, 0, 1});
        // another dataset
        AddEntry(2, 20230401, 1, Side{100, 1, 1000000}, Side{100, 0, 1});
        // months 1 to 2 with both closings
        MonthRange(cond_, 1, 2, true, true);
    }

    std::vector<StKAMOKUSUMINFO> All(ClRuleKamoku& rule)
    {
        std::vector<StKAMOKUSUMINFO> out;
        int32_t n = -1;
        EXPECT_EQ(rule.GetSumCount(&n), SUITE_OK);
        EXPECT_EQ(rule.SetMovePos(0), SUITE_OK);
        StKAMOKUSUMINFO s;
        long status;
        while ((status = rule.MoveNext(&s)) == SUITE_OK)
            out.push_back(s);
        EXPECT_EQ(status, SUITE_EOD);
        EXPECT_EQ(static_cast<int32_t>(out.size()), n);
        return out;
    }

    StFINDINFO cond_[FINDINFO_RUN_TERMS];
};

TEST_F(ClRuleKamokuTest, WholeDatasetSummaries)
{
    ClRuleKamoku rule;
    SetUpRule(rule);
    ASSERT_EQ(rule.MoveReady(RuleKamokuSumType_Base_Move, RuleKamokuSumType_Bmn_None,
                             RuleKamokuSumType_Disptype_Normal, cond_, nullptr, RuleKamokuSumType_Past_Current),
              SUITE_OK);
    std::vector<StKAMOKUSUMINFO> s = All(rule);
    ASSERT_EQ(s.size(), 3u);
    // Account-code order, with the master's flags, side and attribute.
    EXPECT_EQ(+s[0].lKamokuCode, 100);
    EXPECT_EQ(+s[1].lKamokuCode, 200);
    EXPECT_EQ(+s[2].lKamokuCode, 300);
    EXPECT_STREQ(s[0].szName, "仕入高");
    EXPECT_EQ(+s[0].ulZokusei, 0x80881080u);
    EXPECT_EQ(+s[0].byFlag1, 0);
    EXPECT_EQ(+s[0].byFlag2, 1);
    EXPECT_EQ(+s[0].byFlag3, 2);
    EXPECT_EQ(+s[2].byFlag1, 1);
    EXPECT_EQ(+s[1].byTaishakuKubun, 2);

    const StKAMOKUSUMINFO& a = s[0];
    EXPECT_EQ(+a.llKariNuki[1], 15000);
    EXPECT_EQ(+a.llKariKomi[1], 16500);
    EXPECT_EQ(+a.llKashiNuki[1], 0);
    EXPECT_EQ(+a.llKariNuki[3], 0);  // month 3 is outside the condition
    EXPECT_EQ(+a.llKashiNuki[13], 300);
    EXPECT_EQ(+a.llKashiKomi[13], 300);
    EXPECT_EQ(+a.llKariNuki[14], 70);
    EXPECT_EQ(+a.llKariKomi[14], 77);
    EXPECT_EQ(+a.llKariNuki[0], 0);

    const StKAMOKUSUMINFO& b = s[1];
    EXPECT_EQ(+b.llKashiNuki[1], 16500);
    EXPECT_EQ(+b.llKashiKomi[1], 16500);
    EXPECT_EQ(+b.llKariNuki[13], 300);
    EXPECT_EQ(+b.llKariNuki[1], 0);

    StKAMOKUSUMINFO zero;
    std::memset(&zero, 0, sizeof zero);
    EXPECT_EQ(std::memcmp(s[2].llKariNuki, zero.llKariNuki, 4 * sizeof zero.llKariNuki), 0);
}

TEST_F(ClRuleKamokuTest, DepartmentSummariesTakeOnlyThatDepartmentsSides)
{
    AddDept(1, 1, 1, 0, 1);
    StBUMONINFO dept;
    std::memset(&dept, 0, sizeof dept);
    dept.lBumonCode = 1;
    dept.byKind = 1;
    for (auto mode : {RuleKamokuSumType_Bmn_None, RuleKamokuSumType_Bmn_Group}) {
        ClRuleKamoku rule;
        SetUpRule(rule);
        ASSERT_EQ(rule.MoveReady(RuleKamokuSumType_Base_Move, mode, RuleKamokuSumType_Disptype_Normal, cond_, &dept,
                                 RuleKamokuSumType_Past_Current),
                  SUITE_OK);
        std::vector<StKAMOKUSUMINFO> s = All(rule);
        ASSERT_EQ(s.size(), 3u);
        EXPECT_EQ(+s[0].llKariNuki[1], 10000);
        EXPECT_EQ(+s[0].llKariKomi[1], 11000);
        EXPECT_EQ(+s[0].llKashiNuki[13], 300);
        EXPECT_EQ(+s[0].llKariKomi[14], 77);
        EXPECT_EQ(+s[0].lBumonCode, 1);
        EXPECT_EQ(+s[1].llKashiNuki[1], 0);  // account 200's sides have no department
        EXPECT_EQ(+s[1].llKariNuki[13], 0);
    }
}

// A fiscal year of fewer than twelve months has its year-end closing in the
// slot after its last month, and in slot 13 as well; a twelve-month year
// has it in slot 13 alone, and no year has anything in slots past its months.
TEST_F(ClRuleKamokuTest, YearEndClosingOfAShortYearAlsoFollowsItsLastMonth)
{
    Exec("UPDATE datasets SET period_to = 20230930 WHERE data_no = 2");
    AddAccount(2, 500, 0x40882000u);
    AddEntry(2, 20230915, 6, Side{500, 0, 40}, Side{100, 0, 40});
    AddEntry(2, 20230930, 18, Side{500, 0, 600, 60}, Side{100, 0, 660});
    AddEntry(2, 20230930, 15, Side{500, 0, 9}, Side{100, 0, 9});
    StFINDINFO range[FINDINFO_RUN_TERMS];
    MonthRange(range, 1, 6, true, true);
    ClRuleKamoku rule;
    SetUpRule(rule, kData2);
    ASSERT_EQ(rule.MoveReady(RuleKamokuSumType_Base_Move, RuleKamokuSumType_Bmn_None,
                             RuleKamokuSumType_Disptype_Normal, range, nullptr, RuleKamokuSumType_Past_Current),
              SUITE_OK);
    std::vector<StKAMOKUSUMINFO> s = All(rule);
    ASSERT_EQ(s.size(), 2u);
    const StKAMOKUSUMINFO& a = s[1];
    ASSERT_EQ(+a.lKamokuCode, 500);
    EXPECT_EQ(+a.llKariNuki[6], 40);
    EXPECT_EQ(+a.llKariNuki[13], 600);
    EXPECT_EQ(+a.llKariKomi[13], 660);
    EXPECT_EQ(+a.llKariNuki[7], 600);
    EXPECT_EQ(+a.llKariKomi[7], 660);
    EXPECT_EQ(+a.llKariNuki[14], 9);
    for (int m = 8; m <= 12; ++m)
        EXPECT_EQ(+a.llKariNuki[m], 0) << m;
    const StKAMOKUSUMINFO& b = s[0];
    ASSERT_EQ(+b.lKamokuCode, 100);
    EXPECT_EQ(+b.llKashiNuki[7], 660);
    EXPECT_EQ(+b.llKashiNuki[13], 660);

    // Dataset 1 runs twelve months: slot 13 is the slot after its last.
    ClRuleKamoku year;
    SetUpRule(year);
    ASSERT_EQ(year.MoveReady(RuleKamokuSumType_Base_Move, RuleKamokuSumType_Bmn_None,
                             RuleKamokuSumType_Disptype_Normal, cond_, nullptr, RuleKamokuSumType_Past_Current),
              SUITE_OK);
    std::vector<StKAMOKUSUMINFO> t = All(year);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(+t[0].llKashiNuki[13], 300);
    for (int m = 2; m <= 12; ++m)
        EXPECT_EQ(+t[0].llKashiNuki[m], 0) << m;
}

TEST_F(ClRuleKamokuTest, PositionCountAndErrors)
{
    ClRuleKamoku rule;
    int32_t n = 0;
    EXPECT_EQ(rule.GetSumCount(&n), RULE_ERR_NOTREADY);
    EXPECT_EQ(rule.MoveReady(RuleKamokuSumType_Base_Move, RuleKamokuSumType_Bmn_None,
                             RuleKamokuSumType_Disptype_Normal, cond_, nullptr, RuleKamokuSumType_Past_Current),
              RULE_ERR_NOTREADY);
    SetUpRule(rule);
    // Department mode 4 needs a department.
    EXPECT_EQ(rule.MoveReady(RuleKamokuSumType_Base_Move, RuleKamokuSumType_Bmn_Group,
                             RuleKamokuSumType_Disptype_Normal, cond_, nullptr, RuleKamokuSumType_Past_Current),
              SUITE_ERR_PARAM);
    ASSERT_EQ(rule.MoveReady(RuleKamokuSumType_Base_Move, RuleKamokuSumType_Bmn_None,
                             RuleKamokuSumType_Disptype_Normal, nullptr, nullptr, RuleKamokuSumType_Past_Current),
              SUITE_OK);
    ASSERT_EQ(rule.GetSumCount(&n), SUITE_OK);
    EXPECT_EQ(n, 3);
    ASSERT_EQ(rule.SetMovePos(2), SUITE_OK);
    StKAMOKUSUMINFO s;
    ASSERT_EQ(rule.MoveNext(&s), SUITE_OK);
    EXPECT_EQ(+s.lKamokuCode, 300);
    EXPECT_EQ(rule.MoveNext(&s), SUITE_EOD);
    EXPECT_EQ(rule.SetMovePos(4), SUITE_ERR_PARAM);
    // Without a condition month 3 counts too.
    ASSERT_EQ(rule.SetMovePos(0), SUITE_OK);
    ASSERT_EQ(rule.MoveNext(&s), SUITE_OK);
    EXPECT_EQ(+s.llKariNuki[3], 1);
    EXPECT_EQ(rule.MoveFinish(), SUITE_OK);
    EXPECT_EQ(rule.MoveNext(&s), RULE_ERR_NOTREADY);
    StFINDINFO bad = Term(FINDITEM_ZOKUSEI, 0, FINDCMP_EQ, FINDVAL_ZOKUSEI, 1, FINDCON_END);
    EXPECT_EQ(rule.MoveReady(RuleKamokuSumType_Base_Move, RuleKamokuSumType_Bmn_None,
                             RuleKamokuSumType_Disptype_Normal, &bad, nullptr, RuleKamokuSumType_Past_Current),
              RULE_ERR_CONDITION);
}

} // namespace
} // namespace ruletest
