// The corporation's refund-statement totals over a small store: the account
// summaries, the journal entries by tax code and the fixed assets.
#include "AggregationFixture.h"

#include <climits>

namespace {

using namespace aggtest;

class HojinTest : public AggregationTest {
protected:
    AccumBlock shohin_, hanbai_, eigyogai_, sonota_;
    __int64 kotei_ = 0, kurinobe_ = 0;

    int Sum(bool zeikomi = false)
    {
        const StDATAINFO data = Data();
        const StSHOHIZEIINFO settings = Settings(zeikomi);
        return dlg_->SumKanpuHojin(&shohin_, &hanbai_, &eigyogai_, &sonota_, &kotei_, &kurinobe_, &data, &settings);
    }
    void Reset()
    {
        shohin_ = hanbai_ = eigyogai_ = sonota_ = AccumBlock();
        kotei_ = kurinobe_ = 0;
    }
};

Side Acct(long long account, long long yen, int taxCode = 0, long long taxYen = 0)
{
    Side s;
    s.account = account;
    s.amount = Y(yen);
    s.tax = Y(taxYen);
    s.taxCode = taxCode;
    if (taxYen)
        s.rate = 1000;
    return s;
}

constexpr long long kOther = 999;  // an account of no listed code

TEST_F(HojinTest, SummaryRowsByAttributeCodeAndByte127)
{
    AddAccount(kOther, 0);
    AddAccount(10, 0x40884400, 1, 0, 0, 1);  // purchase of goods proper, marked: counts
    AddAccount(11, 0x20400000, 1, 0, 0, 0);  // other purchase code, unmarked: counts
    AddAccount(12, 0x20400000, 1, 0, 0, 1);  // marked: does not
    AddAccount(13, 0x40884400, 1, 0, 0, 2);  // proper, not marked 1: does not
    AddAccount(14, 0x40882000, 1, 0, 0, 1);  // selling total, stored
    AddAccount(15, 0x40882000, 1, 0, 0, 1);  //   a second one: the last stands
    AddAccount(16, 0x40844000, 1, 0, 0, 1);
    AddAccount(17, 0x40440000, 2, 0, 0, 1);
    AddAccount(18, 0x40882040, 1, 0, 0, 1);  // sub-code: journal pass only
    AddAccount(19, 0x20200000, 1, 0, 1, 0);  // skipped by byte 126
    AddAccount(20, 0x20200000, 1, 0, 0, 0, 1);  // skipped by byte 128
    for (auto [acct, yen] : std::initializer_list<std::pair<long long, long long>>{
             {10, 1000}, {11, 300}, {12, 5000}, {13, 7000}, {14, 400}, {15, 250}, {16, 60}, {18, 9}, {19, 11},
             {20, 13}})
        AddEntry(2, Acct(acct, yen), Acct(kOther, yen));
    AddEntry(3, Acct(kOther, 100), Acct(11, 100));
    AddEntry(3, Acct(kOther, 80), Acct(17, 80));
    hanbai_.llAmount[0] = Y(12345);  // stored over, not added to

    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(shohin_.llAmount[0], Y(1000 + 300 - 100));
    EXPECT_EQ(hanbai_.llAmount[0], Y(250));
    EXPECT_EQ(eigyogai_.llAmount[0], Y(60));
    EXPECT_EQ(sonota_.llAmount[0], Y(-80));  // debit minus credit, whatever the side
    EXPECT_NE(dlg_->m_pRuleKamoku, nullptr);
}

TEST_F(HojinTest, JournalSidesByTaxCode)
{
    AddAccount(kOther, 0);
    AddAccount(10, 0x40884400);
    AddAccount(11, 0x20400000);
    AddAccount(20, 0x40882040);
    AddAccount(40, 0x20400000, 1, 1);  // left out of the account list
    AddEntry(1, Acct(10, 100, 32), Acct(kOther, 100, 23));  // import undetermined: [1] and [2]
    AddEntry(1, Acct(10, 50, 22), Acct(kOther, 50, 23));    // sales return: nothing
    AddEntry(1, Acct(10, 30, 30), Acct(kOther, 30, 23));    // import goods: [1] only
    AddEntry(2, Acct(10, 70, 1), Acct(20, 70, 24));         // two rows
    AddEntry(2, Acct(10, 15, 1), Acct(11, 15, 4));          // both sides in one row
    AddEntry(2, Acct(40, 99, 1), Acct(kOther, 99, 23));
    AddEntry(3, Acct(kOther, 20, 23), Acct(10, 20, 35));    // credit, undetermined
    AddEntry(3, Acct(kOther, 20, 23), Acct(10, 20, 21));    // credit, a sales code: nothing

    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(shohin_.llAmount[1], Y(100 + 30 + 70 + 15 - 15 - 20));
    EXPECT_EQ(shohin_.llAmount[2], Y(100 - 20));
    EXPECT_EQ(hanbai_.llAmount[1], Y(-70));
    EXPECT_EQ(hanbai_.llAmount[2], 0);
    EXPECT_EQ(eigyogai_.llAmount[1], 0);
    EXPECT_EQ(sonota_.llAmount[1], 0);
    ASSERT_EQ(dlg_->m_kamokuList.size(), 3u);  // 10, 11, 20 (and not 40), in code order
    EXPECT_EQ(dlg_->m_kamokuList.front().lKamokuCode, 10);
}

TEST_F(HojinTest, TaxIncludedBooksReadAmountPlusTaxAndTheTaxIncludedArrays)
{
    AddAccount(kOther, 0);
    AddAccount(10, 0x40884400, 1, 0, 0, 1);
    AddEntry(4, Acct(10, 100, 1, 10), Acct(kOther, 110, 0));
    ASSERT_EQ(Sum(false), 1);
    EXPECT_EQ(shohin_.llAmount[0], Y(100));
    EXPECT_EQ(shohin_.llAmount[1], Y(100));
    Reset();
    ASSERT_EQ(Sum(true), 1);
    EXPECT_EQ(shohin_.llAmount[0], Y(110));
    EXPECT_EQ(shohin_.llAmount[1], Y(110));
}

TEST_F(HojinTest, YearEndAndHalfYearClosingSlots)
{
    AddAccount(kOther, 0);
    AddAccount(10, 0x40884400, 1, 0, 0, 1);
    AddEntry(6, Acct(10, 1), Acct(kOther, 1));
    AddEntry(12, Acct(10, 100), Acct(kOther, 100));
    AddEntry(18, Acct(10, 1000), Acct(kOther, 1000));
    AddEntry(15, Acct(10, 10000), Acct(kOther, 10000));

    MonthRange(dlg_->m_findInfo, 1, 12, false, true);
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(shohin_.llAmount[0], Y(1 + 100 + 1000));
    Reset();
    MonthRange(dlg_->m_findInfo, 1, 12, false, false);
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(shohin_.llAmount[0], Y(1 + 100));
    // Half-year closing: slot 14 when the dataset closes half-years and the
    // range ends at month 6.
    Reset();
    MonthRange(dlg_->m_findInfo, 1, 6, true, false);
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(shohin_.llAmount[0], Y(1));
    Exec("UPDATE datasets SET half_year_closing = 1");
    Reset();
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(shohin_.llAmount[0], Y(1 + 10000));
    EXPECT_EQ(shohin_.llAmount[1], Y(1 + 10000));
}

// A six-month year ending at its sixth month: the year-end closing follows
// the end month, and the half-year closing is slot 14; each counts once.
TEST_F(HojinTest, SixMonthYearTakesItsYearEndClosingOnce)
{
    Exec("UPDATE datasets SET period_to = 20230930, half_year_closing = 1");
    AddAccount(kOther, 0);
    AddAccount(10, 0x40884400, 1, 0, 0, 1);
    AddEntry(6, Acct(10, 1), Acct(kOther, 1));
    AddEntry(15, Acct(10, 10), Acct(kOther, 10));
    AddEntry(18, Acct(10, 100), Acct(kOther, 100));
    MonthRange(dlg_->m_findInfo, 1, 6, true, true);
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(shohin_.llAmount[0], Y(1 + 10 + 100));
    Reset();
    MonthRange(dlg_->m_findInfo, 1, 6, true, false);
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(shohin_.llAmount[0], Y(1 + 10));
}

TEST_F(HojinTest, AssetsOfTheRangeByClass)
{
    AddAsset(20230531, 1, Y(1), 1);
    AddAsset(20230601, 1, Y(100), 1);
    AddAsset(20230715, 2, Y(20), 2);
    AddAsset(20230831, 9, Y(50), 1);
    AddAsset(20230901, 9, Y(3), 1);
    AddAsset(20240331, 1, Y(7000), 1);
    MonthRange(dlg_->m_findInfo, 3, 5, false, false);
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(kotei_, Y(120));
    EXPECT_EQ(kurinobe_, Y(50));
    kotei_ = kurinobe_ = 0;
    MonthRange(dlg_->m_findInfo, 1, 12, false, true);
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(kotei_, Y(7121));
    EXPECT_EQ(kurinobe_, Y(53));
}

TEST_F(HojinTest, IndividualsAreLeftAlone)
{
    AddAccount(kOther, 0);
    AddAccount(10, 0x40884400, 1, 0, 0, 1);
    AddEntry(1, Acct(10, 100, 1), Acct(kOther, 100));
    AddAsset(20230601, 1, Y(100), 1);
    for (int kind : {3, 4}) {
        Exec("UPDATE datasets SET org_kind = " + std::to_string(kind));
        ASSERT_EQ(Sum(), 1);
        EXPECT_EQ(shohin_.llAmount[0], 0);
        EXPECT_EQ(shohin_.llAmount[1], 0);
        EXPECT_EQ(kotei_, 0);
        EXPECT_EQ(dlg_->m_pRuleKamoku, nullptr);
    }
    Exec("UPDATE datasets SET org_kind = 1");
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(shohin_.llAmount[0], Y(100));
    EXPECT_EQ(kotei_, Y(100));
}

TEST_F(HojinTest, SummaryBeyondTheAmountRangeThrows)
{
    AddAccount(kOther, 0);
    AddAccount(10, 0x40884400, 1, 0, 0, 1);
    // Two months of 6 x 10^13 yen: the sum reaches the amount type's bound.
    AddEntry(1, Acct(10, 60000000000000LL), Acct(kOther, 60000000000000LL));
    AddEntry(2, Acct(10, 60000000000000LL), Acct(kOther, 60000000000000LL));
    EXPECT_THROW(Sum(), int);
}

TEST_F(HojinTest, TotalsNeverWrap)
{
    __int64 total = LLONG_MAX - 5;
    CAddTaxDlg::AddToTotal(&total, ClKingaku::FromRaw(5));
    EXPECT_EQ(total, LLONG_MAX);
    EXPECT_THROW(CAddTaxDlg::AddToTotal(&total, ClKingaku::FromRaw(1)), int);
    EXPECT_EQ(total, LLONG_MAX);
    total = LLONG_MIN + 3;
    CAddTaxDlg::SubFromTotal(&total, ClKingaku::FromRaw(3));
    EXPECT_EQ(total, LLONG_MIN);
    EXPECT_THROW(CAddTaxDlg::SubFromTotal(&total, ClKingaku::FromRaw(1)), int);
    CAddTaxDlg::SubFromTotal(&total, ClKingaku::FromRaw(-7));
    EXPECT_EQ(total, LLONG_MIN + 7);
}

} // namespace
