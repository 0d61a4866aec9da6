// The individual's refund-statement totals over a small store: the routing
// by income kinds, department kind, link and category, the account pass per
// department, the journal pass and the asset pass.
#include "AggregationFixture.h"

namespace {

using namespace aggtest;

constexpr long long kOther = 999;
constexpr unsigned long kShiire = 0x20400000;    // a purchase code
constexpr unsigned long kHitsuyou = 0x40882000;  // an expense code

class KojinTest : public AggregationTest {
protected:
    AccumBlock js_, jh_, jk_, fh_, fk_, ss_, sh_, sk_;

    void SetUp() override
    {
        AggregationTest::SetUp();
        Exec("UPDATE datasets SET org_kind = 3, income_kinds = 4");
        AddAccount(kOther, 0);
    }
    void Kinds(int incomeKinds) { Exec("UPDATE datasets SET income_kinds = " + std::to_string(incomeKinds)); }
    int Sum(bool zeikomi = false)
    {
        const StDATAINFO data = Data();
        const StSHOHIZEIINFO settings = Settings(zeikomi);
        return dlg_->SumKanpuKojin(&js_, &jh_, &jk_, &fh_, &fk_, &ss_, &sh_, &sk_, &data, &settings);
    }
    void Reset() { js_ = jh_ = jk_ = fh_ = fk_ = ss_ = sh_ = sk_ = AccumBlock(); }
    // [0], [1] of the blocks, in yen, as one text for the comparisons.
    std::string Blocks(int index) const
    {
        std::string s;
        for (const AccumBlock* b : {&js_, &jh_, &jk_, &fh_, &fk_, &ss_, &sh_, &sk_})
            s += std::to_string(b->llAmount[index] / 10000) + " ";
        return s;
    }
};


class KojinRoutingTest : public KojinTest {
protected:
    void Spend(int month, long long account, long long dept, long long yen, int taxCode = 1, long long taxYen = 0)
    {
        Side dr;
        dr.account = account;
        dr.dept = dept;
        dr.amount = Y(yen);
        dr.tax = Y(taxYen);
        dr.taxCode = taxCode;
        if (taxYen)
            dr.rate = 1000;
        Side cr;
        cr.account = kOther;
        cr.amount = Y(yen + taxYen);
        AddEntry(month, dr, cr);
    }
};

//                               js jh jk fh fk ss sh sk
TEST_F(KojinRoutingTest, CorporationsAreLeftAlone)
{
    AddAccount(10, kShiire);
    Spend(1, 10, 0, 100);
    AddAsset(20230601, 1, Y(5), 1);
    for (int org : {0, 1}) {
        Exec("UPDATE datasets SET org_kind = " + std::to_string(org));
        ASSERT_EQ(Sum(), 1);
        EXPECT_EQ(Blocks(0), "0 0 0 0 0 0 0 0 ");
        EXPECT_EQ(Blocks(1), "0 0 0 0 0 0 0 0 ");
    }
}

TEST_F(KojinRoutingTest, IncomeKindsWithoutDepartments)
{
    AddAccount(10, kShiire);
    AddAccount(20, kHitsuyou);
    AddAccount(30, 0x40880000);  // no listed code
    Spend(1, 10, 0, 100);
    Spend(2, 20, 0, 30);
    Spend(2, 30, 0, 7);
    AddAsset(20230601, 1, Y(1000), 1);
    AddAsset(20230602, 2, Y(2000), 2);
    AddAsset(20230603, 3, Y(4000), 3);
    AddAsset(20230604, 4, Y(8000), 0);

    Kinds(1);
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(Blocks(0), "100 30 15000 0 0 0 0 0 ");
    EXPECT_EQ(Blocks(1), "100 30 0 0 0 0 0 0 ");
    Reset();
    Kinds(2);  // purchases count nowhere, everything else is real estate
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(Blocks(0), "0 0 0 30 15000 0 0 0 ");
    EXPECT_EQ(Blocks(1), "0 0 0 30 0 0 0 0 ");
    for (int k : {3, 6}) {
        Reset();
        Kinds(k);  // all business, assets by their income class (0 and 4: none)
        ASSERT_EQ(Sum(), 1);
        EXPECT_EQ(Blocks(0), "100 30 5000 0 2000 0 0 0 ") << k;
        EXPECT_EQ(Blocks(1), "100 30 0 0 0 0 0 0 ") << k;
    }
    {
        const int k = 0;  // the store takes 0 to 6; the rules' own test covers 7 and up
        Reset();
        Kinds(k);
        ASSERT_EQ(Sum(), 1);
        EXPECT_EQ(Blocks(0), "0 0 0 0 0 0 0 0 ") << k;
        EXPECT_EQ(Blocks(1), "0 0 0 0 0 0 0 0 ") << k;
    }
}

TEST_F(KojinRoutingTest, DepartmentsDecideForSeveralIncomes)
{
    AddAccount(10, kShiire);
    AddAccount(20, kHitsuyou);
    AddDept(1, 0, 0, 1);   // business
    AddDept(2, 0, 0, 8);   // business
    AddDept(3, 0, 0, 3);   // real estate
    AddDept(4, 0, 0, 5);   // other
    AddDept(5, 1, 0, 3);   // kind 1 unlinked, category 3: business and real estate
    AddDept(6, 1, 9, 1);   // kind 1 linked, category 1: business and other
    AddDept(7, 2, 0, 1);   // kind 2: other only
    const long long shiire[] = {1, 2, 4, 8, 16, 32, 64};
    const long long hitsuyou[] = {100, 200, 400, 800, 1600, 3200, 6400};
    for (int d = 1; d <= 7; ++d) {
        Spend(1, 10, d, shiire[d - 1]);
        Spend(1, 20, d, hitsuyou[d - 1]);
    }
    ASSERT_EQ(Sum(), 1);
    // Purchases: business 1+2+16+32, other 8+32+64; department 3's 4 counts
    // nowhere (real estate takes no purchases).
    // Expenses: business 100+200+1600+3200, real estate 400+1600,
    // other 800+3200+6400.
    EXPECT_EQ(Blocks(0), "51 5100 0 2000 0 104 10400 0 ");
    EXPECT_EQ(Blocks(1), "51 5100 0 2000 0 104 10400 0 ");

    // With departments, income kinds 1 still take everything as business.
    Reset();
    Kinds(1);
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(Blocks(0), "127 12700 0 0 0 0 0 0 ");
    EXPECT_EQ(Blocks(1), "127 12700 0 0 0 0 0 0 ");
}

TEST_F(KojinRoutingTest, SideWithoutADepartmentRecordCountsAsOtherIncome)
{
    AddAccount(20, kHitsuyou);
    AddDept(1, 0, 0, 1);
    Spend(1, 20, 1, 10);
    Spend(1, 20, 0, 300);   // no department in a dataset that has some
    Spend(1, 20, 77, 5000); // a department code without a record
    Spend(1, 20, 1, 20);    // the side after them still has its own
    ASSERT_EQ(Sum(), 1);
    // The journal pass routes the unknown ones to other income; the account
    // pass sums per department, so only department 1's amounts are in [0].
    EXPECT_EQ(Blocks(1), "0 30 0 0 0 0 5300 0 ");
    EXPECT_EQ(Blocks(0), "0 30 0 0 0 0 0 0 ");
}

TEST_F(KojinRoutingTest, SummaryFlagsAndBalanceSide)
{
    AddAccount(20, kHitsuyou, 2);                 // credit account: debit 100, credit 30
    AddAccount(21, 0x40844080, 1);                // debit account: the same movement
    AddAccount(22, kHitsuyou, 1, 0, 0, 1);        // byte 127 = 1: not counted
    AddAccount(23, kHitsuyou, 1, 0, 0, 2);        // byte 127 = 2: counted
    AddAccount(24, kHitsuyou, 1, 0, 1);           // byte 126 set: not counted
    AddAccount(25, kHitsuyou, 1, 0, 0, 0, 1);     // byte 128 = 1: not counted
    for (long long a : {20, 21}) {
        Spend(2, a, 0, 100, 0);
        Side dr;
        dr.account = kOther;
        dr.amount = Y(30);
        Side cr;
        cr.account = a;
        cr.amount = Y(30);
        AddEntry(3, dr, cr);
    }
    for (long long a : {22, 23, 24, 25})
        Spend(2, a, 0, 1000, 0);
    Kinds(1);
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(jh_.llAmount[0], Y(70 + 70 + 1000));
}

TEST_F(KojinRoutingTest, JournalTaxCodes)
{
    AddAccount(20, kHitsuyou);
    AddAccount(10, kShiire);
    Kinds(1);
    Spend(1, 20, 0, 1, 31);    // [1] and [2]
    Spend(1, 20, 0, 10, 24);   // [1] only
    for (int code : {21, 22, 23, 25, 26, 27, 28, 29})
        Spend(1, 20, 0, 1000, code);  // not counted
    // Both sides listed: debit added, credit subtracted, each in its block.
    Side dr;
    dr.account = 20;
    dr.amount = Y(500);
    dr.taxCode = 1;
    Side cr;
    cr.account = 10;
    cr.amount = Y(500);
    cr.taxCode = 35;
    AddEntry(2, dr, cr);
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(jh_.llAmount[1], Y(1 + 10 + 500));
    EXPECT_EQ(jh_.llAmount[2], Y(1));
    EXPECT_EQ(js_.llAmount[1], Y(-500));
    EXPECT_EQ(js_.llAmount[2], Y(-500));
    for (const AccumBlock* b : {&jk_, &fk_, &sk_}) {
        EXPECT_EQ(b->llAmount[1], 0);
        EXPECT_EQ(b->llAmount[2], 0);
    }
}

TEST_F(KojinRoutingTest, TaxIncludedBooks)
{
    AddAccount(20, kHitsuyou);
    Kinds(1);
    Spend(4, 20, 0, 100, 1, 10);
    ASSERT_EQ(Sum(false), 1);
    EXPECT_EQ(jh_.llAmount[0], Y(100));
    EXPECT_EQ(jh_.llAmount[1], Y(100));
    Reset();
    ASSERT_EQ(Sum(true), 1);
    EXPECT_EQ(jh_.llAmount[0], Y(110));
    EXPECT_EQ(jh_.llAmount[1], Y(110));
}

TEST_F(KojinRoutingTest, SixMonthYearWithHalfYearClosingAddsBothClosingSlots)
{
    Exec("UPDATE datasets SET period_to = 20230930, half_year_closing = 1");
    AddAccount(20, kHitsuyou);
    Kinds(1);
    Spend(6, 20, 0, 1, 0);
    Spend(15, 20, 0, 10, 0);
    Spend(18, 20, 0, 100, 0);
    MonthRange(dlg_->m_findInfo, 1, 6, true, true);
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(jh_.llAmount[0], Y(111));
    Reset();
    MonthRange(dlg_->m_findInfo, 1, 6, true, false);
    ASSERT_EQ(Sum(), 1);
    EXPECT_EQ(jh_.llAmount[0], Y(11));
}

TEST_F(KojinRoutingTest, NetMovementOfASummary)
{
    StKAMOKUSUMINFO sum;
    std::memset(&sum, 0, sizeof sum);
    sum.llKariNuki[3] = Y(100);
    sum.llKashiNuki[4] = Y(30);
    sum.llKariKomi[3] = Y(110);
    sum.llKashiNuki[13] = Y(5);
    sum.llKariNuki[14] = Y(7);
    StSHOHIZEIINFO settings = Settings(false);
    ClKingaku net;
    sum.byTaishakuKubun = 1;
    EXPECT_EQ(CAddTaxDlg::NetKamokuMove(net, &sum, 1, 12, &settings, 0, 0).ToRaw(), Y(70));
    sum.byTaishakuKubun = 2;
    EXPECT_EQ(CAddTaxDlg::NetKamokuMove(net, &sum, 1, 12, &settings, 0, 0).ToRaw(), Y(-70));
    EXPECT_EQ(CAddTaxDlg::NetKamokuMove(net, &sum, 1, 12, &settings, 1, 1).ToRaw(), Y(-70 + 5 - 7));
    EXPECT_EQ(CAddTaxDlg::NetKamokuMove(net, &sum, 5, 4, &settings, 0, 0).ToRaw(), 0);
    sum.byTaishakuKubun = 1;
    settings.byZeikomi = 1;
    EXPECT_EQ(CAddTaxDlg::NetKamokuMove(net, &sum, 4, 4, &settings, 0, 0).ToRaw(), 0);
    EXPECT_EQ(CAddTaxDlg::NetKamokuMove(net, &sum, 3, 3, &settings, 0, 0).ToRaw(), Y(110));
    // Month values outside the slots read nothing outside them.
    EXPECT_EQ(CAddTaxDlg::NetKamokuMove(net, &sum, -5, 40, &settings, 0, 0).ToRaw(), Y(110));
}

} // namespace
