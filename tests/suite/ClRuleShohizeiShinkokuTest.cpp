// The tax summation over a store: the entries of the condition, and only
// they, end up in the records; a second run gives the same figures.
#include <gtest/gtest.h>

#include "RuleFixture.h"
#include "suite/ClRuleShohizeiShinkoku.h"
#include "suite/RuleStatus.h"

namespace ruletest {
namespace {

struct Buffers {
    StTAXREPORTRATEINFO rates[15];
    StTAXREPORTBUSINESSTYPEINFO kinds[30];
    Buffers()
    {
        std::memset(this, 0, sizeof *this);
        const int32_t r[5] = {1000, 800, 800, 500, 300};
        for (int g = 0; g < 3; ++g)
            for (int i = 0; i < 5; ++i) {
                rates[g * 5 + i].lZeiRate = r[i];
                rates[g * 5 + i].byKeigen = i == 1;
            }
        for (int i = 0; i < 30; ++i) {
            kinds[i].lZeiRate = r[i / 6];
            kinds[i].byKeigen = i / 6 == 1;
            kinds[i].byJigyoKubun = static_cast<uint8_t>(i % 6 + 1);
        }
    }
};

class ClRuleShohizeiShinkokuTest : public RuleStoreTest {};

TEST_F(ClRuleShohizeiShinkokuTest, SumsTheEntriesOfTheCondition)
{
    // Sales at 10 % of business kind 2, two of them, one with a correction.
    AddEntry(1, 20230405, 1, Side{111, 0, 110000, 0}, Side{411, 0, 100000, 10000, 21, 1000, 0, 2});
    AddEntry(1, 20230406, 1, Side{111, 0, 55000, 0}, Side{411, 0, 50000, 5000, 21, 1000, 0, 2});
    AddEntry(1, 20230407, 1, Side{411, 0, 20000, 2000, 21, 1000, 0, 2}, Side{111, 0, 22000, 0});  // debit: takes back
    // A reduced-rate purchase without a qualified invoice (80 %).
    AddEntry(1, 20230410, 1, Side{511, 0, 30000, 2400, 1, 800, 1, 0, 1}, Side{111, 0, 32400});
    // An exempt sale stored without a rate: the substitute rate (8 %).
    AddEntry(1, 20230411, 1, Side{111, 0, 70000}, Side{412, 0, 70000, 0, 23});
    // The same kinds of entries outside the range and in another dataset.
    AddEntry(1, 20230510, 2, Side{111, 0, 999}, Side{411, 0, 999, 99, 21, 1000, 0, 2});
    AddEntry(2, 20230405, 1, Side{111, 0, 999}, Side{411, 0, 999, 99, 21, 1000, 0, 2});

    StFINDINFO c[FINDINFO_RUN_TERMS];
    MonthRange(c, 1, 1, false, false);
    ClRuleShohizeiShinkoku rule;
    SetUpRule(rule);
    ASSERT_EQ(rule.SetSubstTaxRate(800), SUITE_OK);
    Buffers b;
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(rule.SumTax(2, c, b.rates, b.kinds, 0, 0, 0), SUITE_OK);
        EXPECT_EQ(+b.rates[0].llKazeiUriageNuki, 130000);
        EXPECT_EQ(+b.rates[0].llKazeiUriageZei, 13000);
        EXPECT_EQ(+b.rates[0].llKazeiUriageKomi, 143000);
        EXPECT_EQ(+b.kinds[1].llUriageNuki, 130000);  // 10 %, kind 2
        EXPECT_EQ(+b.kinds[1].llUriageZei, 13000);
        EXPECT_EQ(+b.kinds[1].llUriageKomi, 143000);
        EXPECT_EQ(+b.rates[1].llShiireKazeiNuki, 30000);  // reduced 8 %, group 1
        EXPECT_EQ(+b.rates[1].llShiireKazeiZei, 2400);
        EXPECT_EQ(+b.rates[6].llShiireKazeiKomi, 32400);  // and group 2
        EXPECT_EQ(+b.rates[11].llShiireKazeiKomi, 0);     // not group 3
        EXPECT_EQ(+b.rates[2].llMenzeiUriage, 70000);     // substitute 8 %
        EXPECT_EQ(+b.rates[0].llMenzeiUriage, 0);
    }
}

TEST_F(ClRuleShohizeiShinkokuTest, RefusesWhatItCannotAnswer)
{
    ClRuleShohizeiShinkoku rule;
    Buffers b;
    EXPECT_EQ(rule.SumTax(2, nullptr, b.rates, b.kinds, 0, 0, 0), RULE_ERR_NOTREADY);
    SetUpRule(rule);
    EXPECT_EQ(rule.SetSubstTaxRate(700), SUITE_ERR_PARAM);
    EXPECT_EQ(rule.SumTax(2, nullptr, nullptr, b.kinds, 0, 0, 0), SUITE_ERR_PARAM);
    // A bad condition leaves the records as they were.
    b.rates[0].llKazeiUriageNuki = 5;
    StFINDINFO bad = Term(FINDITEM_MONTHKIND, 0, 8, FINDVAL_SHORT, 1, FINDCON_END);
    EXPECT_EQ(rule.SumTax(2, &bad, b.rates, b.kinds, 0, 0, 0), RULE_ERR_CONDITION);
    EXPECT_EQ(+b.rates[0].llKazeiUriageNuki, 5);
}

} // namespace
} // namespace ruletest
