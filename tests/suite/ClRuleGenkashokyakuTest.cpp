// Fixed assets by acquisition date, read by index in order and out of order.
#include <gtest/gtest.h>

#include "RuleFixture.h"
#include "suite/ClRuleGenkashokyaku.h"
#include "suite/RuleStatus.h"

namespace ruletest {
namespace {

class ClRuleGenkashokyakuTest : public RuleStoreTest {
protected:
    void SetUp() override
    {
        RuleStoreTest::SetUp();
        AddAsset(1, 20230331, 1, 1, 1, 11);              // before the period
        AddAsset(1, 20231015, 9, 300000000, 2, 13, "ソフトウェア開発費");
        AddAsset(1, 20230401, 1, 1500000000, 1, 12);
        AddAsset(1, 20240331, 3, 70000, 3, 14);
        AddAsset(1, 20240401, 1, 1, 1, 15);              // after it
        AddAsset(2, 20230801, 1, 99, 1, 21);             // another dataset
        cond_[0] = Term(FINDITEM_SHUTOKUDATE, 0, FINDCMP_GE, FINDVAL_LONG, 20230401, FINDCON_AND);
        cond_[1] = Term(FINDITEM_SHUTOKUDATE, 0, FINDCMP_LE, FINDVAL_LONG, 20240331, FINDCON_END);
    }
    StFINDINFO cond_[2];
};

TEST_F(ClRuleGenkashokyakuTest, AssetsOfTheDateRangeInDateOrder)
{
    ClRuleGenkashokyaku rule;
    SetUpRule(rule);
    ASSERT_EQ(rule.MoveReady(cond_, 0, 0), SUITE_OK);
    int32_t n = 0;
    ASSERT_EQ(rule.GetCount(&n), SUITE_OK);
    ASSERT_EQ(n, 3);
    StKOTEISHISANINFO a;
    StKOTEINENINFO y;
    StKOTEITSUKIINFO m;
    const int codes[] = {12, 13, 14};
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(rule.Move(i, &a, &y, &m), SUITE_OK);
        EXPECT_EQ(+a.lShisanCode, codes[i]);
        EXPECT_EQ(+y.lShisanCode, codes[i]);
        EXPECT_EQ(+m.llShutokuKingaku, +a.llShutokuKingaku);
    }
    EXPECT_EQ(rule.Move(3, &a, &y, &m), SUITE_EOD);
    // Out of order: back to the second asset.
    ASSERT_EQ(rule.Move(1, &a, &y, &m), SUITE_OK);
    EXPECT_EQ(+a.lShisanCode, 13);
    EXPECT_EQ(+a.lShutokuDate, 20231015);
    EXPECT_EQ(+a.lShisanKubun, 9);
    EXPECT_EQ(+a.llShutokuKingaku, 300000000);
    EXPECT_EQ(+a.nShotokuKubun, 2);
    EXPECT_STREQ(a.szName, "ソフトウェア開発費");
    ASSERT_EQ(rule.Move(2, &a, nullptr, nullptr), SUITE_OK);
    EXPECT_EQ(+a.lShisanCode, 14);
    ASSERT_EQ(rule.Move(0, &a, nullptr, nullptr), SUITE_OK);
    EXPECT_EQ(+a.lShisanCode, 12);
    EXPECT_EQ(rule.MoveFinish(), SUITE_OK);
    EXPECT_EQ(rule.Move(0, &a, nullptr, nullptr), RULE_ERR_NOTREADY);
}

TEST_F(ClRuleGenkashokyakuTest, ConditionsOfOtherTablesAndUnknownTypesAreRefused)
{
    ClRuleGenkashokyaku rule;
    SetUpRule(rule);
    StFINDINFO month = Term(FINDITEM_MONTHKIND, 0, FINDCMP_EQ, FINDVAL_SHORT, 1, FINDCON_END);
    EXPECT_EQ(rule.MoveReady(&month, 0, 0), RULE_ERR_CONDITION);
    EXPECT_EQ(rule.MoveReady(cond_, 1, 0), SUITE_ERR_PARAM);
    int32_t n = 0;
    EXPECT_EQ(rule.GetCount(&n), RULE_ERR_NOTREADY);
    ASSERT_EQ(rule.MoveReady(nullptr, 0, 0), SUITE_OK);
    ASSERT_EQ(rule.GetCount(&n), SUITE_OK);
    EXPECT_EQ(n, 5);
}

} // namespace
} // namespace ruletest
