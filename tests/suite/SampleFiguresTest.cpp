// The samples carry journal entries, accounts, departments and assets whose
// figures come out of the rule objects as the hand sums below.
#include <gtest/gtest.h>

#include <cstring>

#include "SuiteTestHome.h"
#include "aggregation/ShiwakeJoken.h"
#include "suite/ClDataMgr.h"
#include "suite/ClLinkMgr.h"
#include "suite/ClRuleGenkashokyaku.h"
#include "suite/ClRuleKamoku.h"
#include "suite/ClRuleShohizeiShinkoku.h"
#include "suite/ClSetBumon.h"
#include "suite/ClSetData.h"
#include "suite/ClSetMgr.h"
#include "tests/support/FindTerms.h"

namespace {

constexpr long long Yen(long long yen) { return yen * 10000; }

class SampleFigures : public suitetest::ConnectedSuite {
protected:
    template <class Rule>
    void SetUpRule(Rule& rule)
    {
        auto* data = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1));
        ASSERT_NE(data, nullptr);
        ASSERT_EQ(rule.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr()), SUITE_OK);
        ASSERT_EQ(rule.SetCurDataID(data->GetSelectedInfo()), SUITE_OK);
        ASSERT_EQ(rule.AttachOptLink(ClLinkMgr::Inst()->GetOptLink()), SUITE_OK);
    }
    // Months 1 to 12 and the year-end closing.
    void FullYear() { findtest::MonthRange(cond_, 1, 12, false, true); }
    StFINDINFO cond_[FINDINFO_RUN_TERMS];
};

TEST_F(SampleFigures, CorporationSummation)
{
    Connect(1);
    FullYear();
    StTAXREPORTRATEINFO r[15];
    StTAXREPORTBUSINESSTYPEINFO k[30];
    std::memset(r, 0, sizeof r);
    std::memset(k, 0, sizeof k);
    const int32_t rates[5] = {1000, 800, 800, 500, 300};
    for (int i = 0; i < 15; ++i) {
        r[i].lZeiRate = rates[i % 5];
        r[i].byKeigen = i % 5 == 1;
    }
    ClRuleShohizeiShinkoku rule;
    SetUpRule(rule);
    rule.SetSubstTaxRate(1000);
    ASSERT_EQ(rule.SumTax(2, cond_, r, k, 0, 0, 0), SUITE_OK);
    EXPECT_EQ(+r[0].llKazeiUriageNuki, Yen(127800000));
    EXPECT_EQ(+r[0].llKazeiUriageZei, Yen(12780000));
    EXPECT_EQ(+r[0].llKazeiHenkanNuki, Yen(300000));
    EXPECT_EQ(+r[1].llKazeiUriageNuki, Yen(7200000));
    EXPECT_EQ(+r[1].llKazeiUriageZei, Yen(576000));
    EXPECT_EQ(+r[0].llShiireKazeiNuki, Yen(69600000));
    EXPECT_EQ(+r[0].llShiireHenkanKazeiNuki, Yen(200000));
    EXPECT_EQ(+r[0].llShiireKyotuuNuki, Yen(1590000));
    EXPECT_EQ(+r[0].llShiireKyotuuZei, Yen(159000));
    EXPECT_EQ(+r[5].llShiireKyotuuKomi, Yen(110000));  // 80 % group
    EXPECT_EQ(+r[10].llShiireKyotuuKomi, Yen(22000));  // 50 % group
    EXPECT_EQ(+r[0].llMenzeiUriage, Yen(2000000));     // substitute rate
    EXPECT_EQ(+r[0].llHikazeiUriageYuka, Yen(150000));
    EXPECT_EQ(+r[0].llHikazeiUriageSonota, Yen(15000));
    EXPECT_EQ(+r[0].llYunyuKazeiZei, Yen(78000));
    EXPECT_EQ(+r[0].llYunyuChiho, Yen(22000));
    EXPECT_EQ(+r[0].llKashidaoreZei, Yen(10000));
}

TEST_F(SampleFigures, CorporationSummariesAndAssets)
{
    Connect(1);
    FullYear();
    ClRuleKamoku rule;
    SetUpRule(rule);
    ASSERT_EQ(rule.MoveReady(RuleKamokuSumType_Base_Move, RuleKamokuSumType_Bmn_None,
                             RuleKamokuSumType_Disptype_Normal, cond_, nullptr, RuleKamokuSumType_Past_Current),
              SUITE_OK);
    StKAMOKUSUMINFO s;
    bool found = false;
    while (rule.MoveNext(&s) == SUITE_OK) {
        if (s.lKamokuCode != 5110)
            continue;
        found = true;
        long long debit = 0, credit = 0;
        for (int m = 0; m < KAMOKUSUM_SLOTS; ++m) {
            debit += s.llKariNuki[m];
            credit += s.llKashiNuki[m];
        }
        EXPECT_EQ(debit, Yen(69600000 + 1000000));  // purchases and the import's goods
        EXPECT_EQ(credit, Yen(200000));
        EXPECT_EQ(+s.ulZokusei, 0x40884400u);
    }
    EXPECT_TRUE(found);

    ClRuleGenkashokyaku assets;
    SetUpRule(assets);
    ShiwakeJoken joken;  // the aggregation's own condition of the acquisition dates
    ASSERT_EQ(assets.MoveReady(joken.BuildShutokuDate(20240401, 20250331), 0, 0), SUITE_OK);
    int32_t n = 0;
    ASSERT_EQ(assets.GetCount(&n), SUITE_OK);
    EXPECT_EQ(n, 3);  // the shelf of March 2024 belongs to the year before
}

TEST_F(SampleFigures, IndividualHasDepartments)
{
    Connect(3);
    auto* set = dynamic_cast<ClSetBumon*>(ClDataMgr::Inst()->GetSetMgr()->GetSetObject(2, 1));
    ASSERT_NE(set, nullptr);
    int32_t n = 0;
    ASSERT_EQ(set->GetBmnCount(&n, 0), SUITE_OK);
    EXPECT_EQ(n, 3);
    StBUMONINFO d;
    ASSERT_EQ(set->GetInfoByCode(20, &d), SUITE_OK);
    EXPECT_EQ(+d.byCategory, 3);
}

} // namespace
