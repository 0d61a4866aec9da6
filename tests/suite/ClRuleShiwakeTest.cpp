// Journal queries over a small store: each condition shape the program builds
// selects exactly the expected entries, through the count and the walk.
#include <gtest/gtest.h>

#include <vector>

#include "RuleFixture.h"
#include "suite/ClRuleShiwake.h"
#include "suite/RuleStatus.h"

namespace ruletest {
namespace {

class ClRuleShiwakeTest : public RuleStoreTest {
protected:
    // The entry numbers the walk delivers, in order.
    std::vector<long long> Walk(ClRuleShiwake& rule, const StFINDINFO* cond)
    {
        std::vector<long long> seen;
        EXPECT_EQ(rule.MoveReady(cond, nullptr, nullptr, SWKCURSOR_FORWARD), SUITE_OK);
        StSWKTINFO e;
        long status;
        while ((status = rule.MoveNext(&e)) == SUITE_OK)
            seen.push_back(e.lSwkNo);
        EXPECT_EQ(status, SUITE_EOD);
        EXPECT_EQ(rule.MoveNext(&e), SUITE_EOD);  // stays at the end
        EXPECT_EQ(rule.MoveFinish(), SUITE_OK);
        return seen;
    }
    int32_t Count(ClRuleShiwake& rule, const StFINDINFO* cond)
    {
        int32_t n = 0;
        EXPECT_EQ(rule.GetSwkCount(cond, nullptr, &n), SUITE_OK);
        return n;
    }
};

TEST_F(ClRuleShiwakeTest, MonthRangesSelectTheirEntriesInJournalOrder)
{
    // One entry per month kind, dated so that the journal order differs from
    // the insertion order.
    std::map<int, long long> byKind;
    int kinds[] = {18, 12, 15, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    for (int k : kinds)
        byKind[k] = AddEntry(1, k == 18 ? 20240331 : k == 15 ? 20230930 : 20230400 + k, k, Side{1, 0, 100}, Side{2, 0, 100});
    AddEntry(2, 20230405, 1, Side{1, 0, 100}, Side{2, 0, 100});  // another dataset
    ClRuleShiwake rule;
    SetUpRule(rule);

    StFINDINFO c[FINDINFO_RUN_TERMS];
    auto expect = [&](std::vector<int> ks) {
        std::vector<long long> nos;
        for (int k : ks)
            nos.push_back(byKind[k]);
        return nos;
    };
    MonthRange(c, 1, 12, false, true);
    EXPECT_EQ(Count(rule, c), 13);
    EXPECT_EQ(Walk(rule, c), expect({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 18}));
    MonthRange(c, 1, 12, false, false);
    EXPECT_EQ(Walk(rule, c), expect({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    MonthRange(c, 1, 6, true, false);
    EXPECT_EQ(Count(rule, c), 7);
    EXPECT_EQ(Walk(rule, c), expect({1, 2, 3, 4, 5, 6, 15}));
    MonthRange(c, 1, 6, true, true);
    EXPECT_EQ(Walk(rule, c), expect({1, 2, 3, 4, 5, 6, 15, 18}));
    MonthRange(c, 10, 12, false, false);
    EXPECT_EQ(Walk(rule, c), expect({10, 11, 12}));
    EXPECT_EQ(Count(rule, nullptr), 14);
}

TEST_F(ClRuleShiwakeTest, TheWalkDeliversBothSidesWhole)
{
    Side dr{501, 7, 1234567, 123456, 1, 800, 1, 3, 2};
    Side cr{502, 9, -5, -1, 47, 1000, 0, 0, 0};
    long long no = AddEntry(1, 20230517, 2, dr, cr);
    ClRuleShiwake rule;
    SetUpRule(rule);
    ASSERT_EQ(rule.MoveReady(nullptr, nullptr, nullptr, SWKCURSOR_FORWARD), SUITE_OK);
    StSWKTINFO e;
    std::memset(&e, 0xCC, sizeof e);
    ASSERT_EQ(rule.MoveNext(&e), SUITE_OK);
    EXPECT_EQ(+e.lSwkNo, no);
    EXPECT_EQ(+e.lDate, 20230517);
    EXPECT_EQ(+e.nMonthKind, 2);
    EXPECT_EQ(+e.kari.lKamokuCode, 501);
    EXPECT_EQ(+e.kari.lBumonCode, 7);
    EXPECT_EQ(+e.kari.llKingaku, 1234567);
    EXPECT_EQ(+e.kari.llZeigaku, 123456);
    EXPECT_EQ(+e.kari.byZeiCode, 1);
    EXPECT_EQ(+e.kari.lZeiRate, 800);
    EXPECT_EQ(+e.kari.byKeigen, 1);
    EXPECT_EQ(+e.kari.byJigyoKubun, 3);
    EXPECT_EQ(+e.kari.byInvoice, 2);
    EXPECT_EQ(+e.kashi.lKamokuCode, 502);
    EXPECT_EQ(+e.kashi.lBumonCode, 9);
    EXPECT_EQ(+e.kashi.llKingaku, -5);
    EXPECT_EQ(+e.kashi.llZeigaku, -1);
    EXPECT_EQ(+e.kashi.byZeiCode, 47);
    EXPECT_EQ(+e.kashi.lZeiRate, 1000);
    // Bytes the entry does not use are zero.
    EXPECT_EQ(e.reserved2[0], 0);
    EXPECT_EQ(e.reserved2[sizeof e.reserved2 - 1], 0);
    EXPECT_EQ(e.kari.reserved[0], 0);
    EXPECT_EQ(rule.MoveNext(&e), SUITE_EOD);
}

TEST_F(ClRuleShiwakeTest, UndeterminedImportCheckCondition)
{
    // (debit 31..37 OR credit 31..37) AND months 1..12 + closing
    long long hit1 = AddEntry(1, 20230401, 1, Side{1, 0, 1, 0, 0}, Side{2, 0, 1, 0, 31});  // credit 31 alone
    long long hit2 = AddEntry(1, 20230402, 1, Side{1, 0, 1, 0, 34}, Side{2, 0, 1, 0, 0});
    long long hit3 = AddEntry(1, 20240331, 18, Side{1, 0, 1, 0, 37}, Side{2, 0, 1, 0, 0});
    AddEntry(1, 20230403, 1, Side{1, 0, 1, 0, 30}, Side{2, 0, 1, 0, 40});  // 30 and 40: no
    AddEntry(1, 20230404, 1, Side{1, 0, 1, 0, 0}, Side{2, 0, 1, 0, 0});
    AddEntry(2, 20230404, 1, Side{1, 0, 1, 0, 31}, Side{2, 0, 1, 0, 31});  // other dataset
    StFINDINFO month[FINDINFO_RUN_TERMS];
    MonthRange(month, 1, 12, false, true);
    StFINDINFO dr[2] = {Term(FINDITEM_ZEICODE, FINDSIDE_KARI, FINDCMP_GE, FINDVAL_LONG, 31, FINDCON_AND),
                        Term(FINDITEM_ZEICODE, FINDSIDE_KARI, FINDCMP_LE, FINDVAL_LONG, 37, FINDCON_END)};
    StFINDINFO cr[2] = {Term(FINDITEM_ZEICODE, FINDSIDE_KASHI, FINDCMP_GE, FINDVAL_LONG, 31, FINDCON_AND),
                        Term(FINDITEM_ZEICODE, FINDSIDE_KASHI, FINDCMP_LE, FINDVAL_LONG, 37, FINDCON_END)};
    StFINDINFO sides[2] = {Nest(dr, FINDCON_OR), Nest(cr, FINDCON_END)};
    StFINDINFO outer[2] = {Nest(sides, FINDCON_AND), Nest(month, FINDCON_END)};
    ClRuleShiwake rule;
    SetUpRule(rule);
    EXPECT_EQ(Count(rule, outer), 3);
    EXPECT_EQ(Walk(rule, outer), (std::vector<long long>{hit1, hit2, hit3}));
    // Without the closing month the year-end entry drops out.
    MonthRange(month, 1, 12, false, false);
    EXPECT_EQ(Count(rule, outer), 2);
}

TEST_F(ClRuleShiwakeTest, RefundPassConditionCountsPurchaseAndExpenseSides)
{
    std::vector<long long> expected;
    for (int code : {0, 1, 7, 8, 21, 22, 23, 24, 25, 29, 30, 31, 37, 40, 47}) {
        long long no = AddEntry(1, 20230410, 1, Side{1, 0, 1, 0, code}, Side{2, 0, 1, 0, 21});
        if (code <= 20 || code == 24 || code >= 30)
            expected.push_back(no);
    }
    long long creditOnly = AddEntry(1, 20230411, 1, Side{1, 0, 1, 0, 22}, Side{2, 0, 1, 0, 4});
    expected.push_back(creditOnly);
    AddEntry(1, 20230510, 2, Side{1, 0, 1, 0, 1}, Side{2, 0, 1, 0, 1});  // outside the range
    StFINDINFO month[FINDINFO_RUN_TERMS];
    MonthRange(month, 1, 1, false, false);
    auto sideTerms = [](int side, StFINDINFO (&t)[3]) {
        t[0] = Term(FINDITEM_ZEICODE, side, FINDCMP_LT, FINDVAL_LONG, 21, FINDCON_OR);
        t[1] = Term(FINDITEM_ZEICODE, side, FINDCMP_EQ, FINDVAL_LONG, 24, FINDCON_OR);
        t[2] = Term(FINDITEM_ZEICODE, side, FINDCMP_GE, FINDVAL_LONG, 30, FINDCON_END);
    };
    StFINDINFO dr[3], cr[3];
    sideTerms(FINDSIDE_KARI, dr);
    sideTerms(FINDSIDE_KASHI, cr);
    StFINDINFO sides[2] = {Nest(dr, FINDCON_OR), Nest(cr, FINDCON_END)};
    StFINDINFO outer[2] = {Nest(sides, FINDCON_AND), Nest(month, FINDCON_END)};
    ClRuleShiwake rule;
    SetUpRule(rule);
    EXPECT_EQ(Count(rule, outer), static_cast<int32_t>(expected.size()));
    EXPECT_EQ(Walk(rule, outer), expected);
}

TEST_F(ClRuleShiwakeTest, RateBitsOfTheRangeAndSides)
{
    AddEntry(1, 20230401, 1, Side{1, 0, 1, 0, 1, 500}, Side{2, 0, 1, 0, 0});        // 5 % purchase, debit
    AddEntry(1, 20230402, 1, Side{1, 0, 1, 0, 0}, Side{2, 0, 1, 0, 21, 800, 1});    // reduced 8 % sale, credit
    AddEntry(1, 20230403, 1, Side{1, 0, 1, 0, 27, 300}, Side{2, 0, 1, 0, 0});       // non-taxable code: rate ignored
    AddEntry(1, 20230501, 2, Side{1, 0, 1, 0, 1, 300}, Side{2, 0, 1, 0, 0});        // 3 %, month 2
    AddEntry(1, 20230502, 2, Side{1, 0, 1, 0, 32, 1000}, Side{2, 0, 1, 0, 22, 800}); // import 10 %, return 8 %
    ClRuleShiwake rule;
    SetUpRule(rule);
    StFINDINFO c[FINDINFO_RUN_TERMS];
    MonthRange(c, 1, 1, false, false);
    DWORD bits = 0;
    ASSERT_EQ(rule.CheckExistSwkByZeiRate(c, &bits, SWKSIDE_BOTH), SUITE_OK);
    EXPECT_EQ(bits, static_cast<DWORD>(SWKRATE_5 | SWKRATE_8_KEIGEN));
    bits = 0;
    ASSERT_EQ(rule.CheckExistSwkByZeiRate(c, &bits, SWKSIDE_KARI), SUITE_OK);
    EXPECT_EQ(bits, static_cast<DWORD>(SWKRATE_5));
    bits = 0;
    ASSERT_EQ(rule.CheckExistSwkByZeiRate(c, &bits, SWKSIDE_KASHI), SUITE_OK);
    EXPECT_EQ(bits, static_cast<DWORD>(SWKRATE_8_KEIGEN));
    MonthRange(c, 1, 2, false, false);
    bits = 0;
    ASSERT_EQ(rule.CheckExistSwkByZeiRate(c, &bits, SWKSIDE_BOTH), SUITE_OK);
    EXPECT_EQ(bits, static_cast<DWORD>(SWKRATE_3 | SWKRATE_5 | SWKRATE_8 | SWKRATE_8_KEIGEN | SWKRATE_10));
    MonthRange(c, 3, 12, false, false);
    bits = 0;
    ASSERT_EQ(rule.CheckExistSwkByZeiRate(c, &bits, SWKSIDE_BOTH), SUITE_OK);
    EXPECT_EQ(bits, 0u);
    EXPECT_EQ(rule.CheckExistSwkByZeiRate(c, &bits, 0), SUITE_ERR_PARAM);
}

TEST_F(ClRuleShiwakeTest, BusinessKindCountsEntriesWithTheKindOnEitherSide)
{
    AddEntry(1, 20230401, 1, Side{1, 0, 1}, Side{2, 0, 1, 0, 21, 1000, 0, 6});
    AddEntry(1, 20230402, 1, Side{1, 0, 1, 0, 22, 1000, 0, 6}, Side{2, 0, 1, 0, 21, 1000, 0, 6});  // counted once
    AddEntry(1, 20230403, 1, Side{1, 0, 1}, Side{2, 0, 1, 0, 21, 1000, 0, 5});
    AddEntry(1, 20230501, 2, Side{1, 0, 1}, Side{2, 0, 1, 0, 21, 1000, 0, 6});
    AddEntry(2, 20230401, 1, Side{1, 0, 1}, Side{2, 0, 1, 0, 21, 1000, 0, 6});
    ClRuleShiwake rule;
    SetUpRule(rule);
    StFINDINFO c[FINDINFO_RUN_TERMS];
    MonthRange(c, 1, 1, false, false);
    int32_t n = -1;
    ASSERT_EQ(rule.CheckExistSwkByJigyoBunrui(c, 6, &n), SUITE_OK);
    EXPECT_EQ(n, 2);
    ASSERT_EQ(rule.CheckExistSwkByJigyoBunrui(c, 5, &n), SUITE_OK);
    EXPECT_EQ(n, 1);
    ASSERT_EQ(rule.CheckExistSwkByJigyoBunrui(c, 1, &n), SUITE_OK);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(rule.CheckExistSwkByJigyoBunrui(c, 7, &n), SUITE_ERR_PARAM);
}

TEST_F(ClRuleShiwakeTest, SetUpAndConditionErrorsAreStatuses)
{
    AddEntry(1, 20230401, 1, Side{1, 0, 1}, Side{2, 0, 1});
    ClRuleShiwake rule;
    int32_t n = 0;
    EXPECT_EQ(rule.GetSwkCount(nullptr, nullptr, &n), RULE_ERR_NOTREADY);
    StSWKTINFO e;
    EXPECT_EQ(rule.MoveNext(&e), RULE_ERR_NOTREADY);
    ASSERT_EQ(rule.AttachSetMgr(SetMgr()), SUITE_OK);
    ASSERT_EQ(rule.SetCurDataID(&kData1), SUITE_OK);
    EXPECT_EQ(rule.GetSwkCount(nullptr, nullptr, &n), RULE_ERR_NOTREADY);  // no option link yet
    ASSERT_EQ(rule.AttachOptLink(OptLink()), SUITE_OK);
    EXPECT_EQ(rule.GetSwkCount(nullptr, nullptr, &n), SUITE_OK);
    EXPECT_EQ(n, 1);

    StFINDINFO bad = Term(FINDITEM_SHUTOKUDATE, 0, FINDCMP_EQ, FINDVAL_LONG, 1, FINDCON_END);
    EXPECT_EQ(rule.GetSwkCount(&bad, nullptr, &n), RULE_ERR_CONDITION);
    EXPECT_EQ(rule.MoveReady(&bad, nullptr, nullptr, SWKCURSOR_FORWARD), RULE_ERR_CONDITION);
    EXPECT_EQ(rule.MoveNext(&e), RULE_ERR_NOTREADY);
    EXPECT_EQ(rule.MoveReady(nullptr, nullptr, nullptr, 1), SUITE_ERR_PARAM);

    DataRecord unknown = {{9, 9, 9}};
    EXPECT_EQ(rule.SetCurDataID(&unknown), SUITE_ERR_NODATA);
    EXPECT_EQ(rule.GetSwkCount(nullptr, nullptr, &n), SUITE_ERR_NODATA);
}

TEST_F(ClRuleShiwakeTest, ANewSetUpEndsTheWalk)
{
    AddEntry(1, 20230401, 1, Side{1, 0, 1}, Side{2, 0, 1});
    AddEntry(2, 20230401, 1, Side{1, 0, 1}, Side{2, 0, 1});
    AddEntry(2, 20230402, 1, Side{1, 0, 1}, Side{2, 0, 1});
    ClRuleShiwake rule;
    SetUpRule(rule);
    ASSERT_EQ(rule.MoveReady(nullptr, nullptr, nullptr, SWKCURSOR_FORWARD), SUITE_OK);
    ASSERT_EQ(rule.SetCurDataID(&kData2), SUITE_OK);
    StSWKTINFO e;
    EXPECT_EQ(rule.MoveNext(&e), RULE_ERR_NOTREADY);
    EXPECT_EQ(Walk(rule, nullptr).size(), 2u);
}

} // namespace
} // namespace ruletest
