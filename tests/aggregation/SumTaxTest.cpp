// The consumption-tax summation and the three journal-entry checks over a
// small store.
#include "AggregationFixture.h"

#include "suite/ClMsgMgr.h"
#include "suite/RuleStatus.h"

#include <climits>
#include <vector>

namespace {

using namespace aggtest;

class SumTaxTest : public AggregationTest {
protected:
    std::vector<StTAXREPORTRATEINFO> rates_ = std::vector<StTAXREPORTRATEINFO>(15);
    std::vector<StTAXREPORTBUSINESSTYPEINFO> kinds_ = std::vector<StTAXREPORTBUSINESSTYPEINFO>(30);

    void SetUp() override
    {
        AggregationTest::SetUp();
        std::memset(rates_.data(), 0, rates_.size() * sizeof rates_[0]);
        std::memset(kinds_.data(), 0, kinds_.size() * sizeof kinds_[0]);
    }
};

TEST_F(SumTaxTest, PreFillsThreeGroupsAndThirtyBusinessKinds)
{
    ASSERT_EQ(dlg_->SumTaxShinkoku(rates_.data(), kinds_.data(), 1000), 1);
    const int32_t rate[5] = {1000, 800, 800, 500, 300};
    const uint8_t keigen[5] = {0, 1, 0, 0, 0};
    for (int g = 0; g < 3; ++g)
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(+rates_[g * 5 + i].lZeiRate, rate[i]) << g << "," << i;
            EXPECT_EQ(+rates_[g * 5 + i].byKeigen, keigen[i]) << g << "," << i;
        }
    for (int r = 0; r < 5; ++r)
        for (int k = 0; k < 6; ++k) {
            const StTAXREPORTBUSINESSTYPEINFO& rec = kinds_[r * 6 + k];
            EXPECT_EQ(+rec.lZeiRate, rate[r]);
            EXPECT_EQ(+rec.byKeigen, keigen[r]);
            EXPECT_EQ(+rec.byJigyoKubun, k + 1);
        }
    // The rule object is kept for the run and reused.
    ClRuleShohizeiShinkoku* kept = dlg_->m_pRuleShohizeiShinkoku;
    ASSERT_NE(kept, nullptr);
    ASSERT_EQ(dlg_->SumTaxShinkoku(rates_.data(), kinds_.data(), 0), 1);
    EXPECT_EQ(dlg_->m_pRuleShohizeiShinkoku, kept);
}

TEST_F(SumTaxTest, SecuritiesAreTakenTwentyFoldInGroupOneOnly)
{
    // A debit-side sale of securities of 246,913.578 yen is a correction: the
    // summation holds -5 % of it, -12,345.6789 yen, and the return the whole.
    Side dr;
    dr.account = 100;
    dr.amount = 2469135780LL;
    dr.taxCode = 26;
    dr.rate = 1000;
    dr.invoice = 1;
    Side cr;
    cr.account = 200;
    AddEntry(3, dr, cr);
    // Sales in the range fill the business-kind records; sales outside do not.
    Side sale;
    sale.account = 300;
    sale.amount = Y(1000);
    sale.tax = Y(100);
    sale.taxCode = 21;
    sale.rate = 1000;
    sale.business = 6;
    AddEntry(4, Side{.account = 100}, sale);
    MonthRange(dlg_->m_findInfo, 1, 12, false, true);
    ASSERT_EQ(dlg_->SumTaxShinkoku(rates_.data(), kinds_.data(), 1000), 1);
    EXPECT_EQ(+rates_[0].llHikazeiUriageYuka, -2469135780LL);
    EXPECT_EQ(+rates_[5].llHikazeiUriageYuka, 0);
    EXPECT_EQ(+rates_[10].llHikazeiUriageYuka, 0);
    EXPECT_EQ(+kinds_[5].llUriageNuki, Y(1000));
    EXPECT_EQ(+kinds_[5].llUriageZei, Y(100));

    // A range without the entries: amounts are set afresh, not added.
    MonthRange(dlg_->m_findInfo, 5, 6, false, false);
    ASSERT_EQ(dlg_->SumTaxShinkoku(rates_.data(), kinds_.data(), 1000), 1);
    EXPECT_EQ(+rates_[0].llHikazeiUriageYuka, 0);
    EXPECT_EQ(+kinds_[5].llUriageNuki, 0);
}

TEST_F(SumTaxTest, TwentyFoldProductOutsideTheRawRangeIsRefusedWithNothingChanged)
{
    StTAXREPORTRATEINFO r[5];
    std::memset(r, 0, sizeof r);
    r[0].llHikazeiUriageYuka = -123456789;   // -12,345.6789 yen
    r[1].llHikazeiUriageYuka = 461168601842738790LL;  // INT64_MAX / 20, still fits
    r[2].llHikazeiUriageYuka = LLONG_MIN / 20;
    CAddTaxDlg::ScaleYukaUriage(r, 5);
    EXPECT_EQ(+r[0].llHikazeiUriageYuka, -2469135780LL);
    EXPECT_EQ(+r[1].llHikazeiUriageYuka, 461168601842738790LL * 20);
    EXPECT_EQ(+r[2].llHikazeiUriageYuka, (LLONG_MIN / 20) * 20);

    std::memset(r, 0, sizeof r);
    r[0].llHikazeiUriageYuka = 100;
    r[3].llHikazeiUriageYuka = LLONG_MAX / 20 + 1;  // about 4.6 x 10^13 yen
    EXPECT_THROW(CAddTaxDlg::ScaleYukaUriage(r, 5), int);
    EXPECT_EQ(+r[0].llHikazeiUriageYuka, 100);
    r[3].llHikazeiUriageYuka = LLONG_MIN / 20 - 1;
    EXPECT_THROW(CAddTaxDlg::ScaleYukaUriage(r, 5), int);
    // Only the records asked for are looked at.
    CAddTaxDlg::ScaleYukaUriage(r, 3);
    EXPECT_EQ(+r[0].llHikazeiUriageYuka, 2000);
}

TEST_F(SumTaxTest, RateCountOtherThanFiveLeavesTheBuffersUntouched)
{
    for (int count : {4, 6, 0}) {
        Exec("UPDATE tax_settings SET tax_rate_count = " + std::to_string(count));
        EXPECT_EQ(dlg_->SumTaxShinkoku(rates_.data(), kinds_.data(), 1000), 0) << count;
        for (const auto& r : rates_)
            EXPECT_EQ(+r.lZeiRate, 0);
        for (const auto& k : kinds_)
            EXPECT_EQ(+k.byJigyoKubun, 0);
    }
    EXPECT_EQ(dlg_->m_pRuleShohizeiShinkoku, nullptr);
}

TEST_F(SumTaxTest, NoSettingsNoSummation)
{
    Exec("DELETE FROM tax_settings");
    EXPECT_EQ(dlg_->SumTaxShinkoku(rates_.data(), kinds_.data(), 1000), 0);
    EXPECT_EQ(+rates_[0].lZeiRate, 0);
}

// --- the checks ---------------------------------------------------------------

Side Sd(long long account, int taxCode, int rate = 0, int reduced = 0, int business = 0)
{
    Side s;
    s.account = account;
    s.amount = Y(10);
    s.taxCode = taxCode;
    s.rate = rate;
    s.reduced = reduced;
    s.business = business;
    return s;
}

TEST_F(SumTaxTest, UndeterminedImportCodesOnEitherSide)
{
    EXPECT_EQ(dlg_->HasMiteiYunyuShiwake(), 0);
    AddEntry(2, Sd(1, 30), Sd(2, 30));
    AddEntry(2, Sd(1, 40), Sd(2, 47));
    AddEntry(5, Sd(1, 0), Sd(2, 34));  // outside the range below
    MonthRange(dlg_->m_findInfo, 1, 3, false, false);
    EXPECT_EQ(dlg_->HasMiteiYunyuShiwake(), 0);
    AddEntry(3, Sd(1, 0), Sd(2, 31));  // credit side alone
    EXPECT_EQ(dlg_->HasMiteiYunyuShiwake(), 1);
    MonthRange(dlg_->m_findInfo, 5, 5, false, false);
    EXPECT_EQ(dlg_->HasMiteiYunyuShiwake(), 1);
    MonthRange(dlg_->m_findInfo, 6, 12, false, true);
    EXPECT_EQ(dlg_->HasMiteiYunyuShiwake(), 0);
    // A condition the library cannot read counts as none.
    dlg_->m_findInfo[0].lItem = 12345;
    EXPECT_EQ(dlg_->HasMiteiYunyuShiwake(), 0);
}

TEST_F(SumTaxTest, OldRatesByMode)
{
    int32_t found = 7;
    AddEntry(1, Sd(1, 1, 800, 1), Sd(2, 0));
    EXPECT_EQ(dlg_->CheckZeiRateShiwake(&found, 0), 0);
    EXPECT_EQ(found, 0);  // reduced 8 % only: no old rate
    EXPECT_EQ(dlg_->CheckZeiRateShiwake(&found, 1), 0);
    EXPECT_EQ(found, 1);
    AddEntry(1, Sd(1, 0), Sd(2, 21, 500));
    EXPECT_EQ(dlg_->CheckZeiRateShiwake(&found, 0), 0);
    EXPECT_EQ(found, 1);
    MonthRange(dlg_->m_findInfo, 2, 12, false, true);
    EXPECT_EQ(dlg_->CheckZeiRateShiwake(&found, 0), 0);
    EXPECT_EQ(found, 0);
    AddEntry(4, Sd(1, 3, 1000), Sd(2, 0));
    EXPECT_EQ(dlg_->CheckZeiRateShiwake(&found, 1), 0);
    EXPECT_EQ(found, 1);
}

TEST_F(SumTaxTest, BusinessKindCount)
{
    AddEntry(1, Sd(1, 0), Sd(2, 21, 1000, 0, 6));
    AddEntry(2, Sd(1, 22, 1000, 0, 6), Sd(2, 21, 1000, 0, 6));
    AddEntry(2, Sd(1, 0), Sd(2, 21, 1000, 0, 5));
    AddEntry(13 - 1, Sd(1, 0), Sd(2, 21, 1000, 0, 6));
    int32_t count = -1;
    MonthRange(dlg_->m_findInfo, 1, 2, false, false);
    EXPECT_EQ(dlg_->CheckJigyoBunruiShiwake(6, &count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(dlg_->CheckJigyoBunruiShiwake(5, &count), 0);
    EXPECT_EQ(count, 1);
}

TEST_F(SumTaxTest, FailedChecksAreRegisteredUnderTheirLines)
{
    ClMsgMgr* msg = ClMsgMgr::Inst();
    int32_t value = 0;
    dlg_->m_findInfo[0].lItem = 12345;  // a field the library does not know
    const long s1 = dlg_->CheckZeiRateShiwake(&value, 0);
    EXPECT_EQ(s1, RULE_ERR_CONDITION);
    EXPECT_EQ(msg->GetLastStatus(), RULE_ERR_CONDITION);
    EXPECT_EQ(msg->GetLastSource(), "AddTax");
    EXPECT_EQ(msg->GetLastLine(), 4039);
    EXPECT_EQ(dlg_->CheckJigyoBunruiShiwake(6, &value), RULE_ERR_CONDITION);
    EXPECT_EQ(msg->GetLastLine(), 4068);
    // A success clears the registration.
    MonthRange(dlg_->m_findInfo, 1, 12, false, true);
    EXPECT_EQ(dlg_->CheckJigyoBunruiShiwake(6, &value), 0);
    EXPECT_EQ(msg->GetLastStatus(), 0);
    EXPECT_EQ(msg->GetLastLine(), 0);
    EXPECT_EQ(msg->GetLastSource(), "");
}

} // namespace
