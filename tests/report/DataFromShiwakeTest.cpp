// DATA from the aggregated figures: which element carries which field under
// which calculation method, the sums and differences, and the failures.
#include "ReportTestSupport.h"

#include "report/TagNameTable.h"
#include "suite/SuiteStore.h"
#include "tests/suite/SuiteTestHome.h"

#include <climits>

namespace {

using namespace reporttest;

class DataFromShiwake : public suitetest::ConnectedSuite {
protected:
    void SetUp() override { Connect(1); }

    std::map<std::string, Elements> Write(BYTE niwari, BYTE uriage, BYTE shiire, int* pResult = nullptr,
                                          std::string* pText = nullptr)
    {
        StDATAINFO data{};
        data.byOrgKind = 0;
        StSHOHIZEIINFO settings{};
        std::string text = WriteWith(
            [&](CXmlWriter* w) { return b.app.WriteDataFromShiwake(w, &data, &settings, niwari, uriage, shiire); },
            pResult);
        if (pText) *pText = text;
        return ByContainer(ParseLines(text));
    }

    AppWithBuffers b;
};

TEST_F(DataFromShiwake, SalesMethodPicksTheTsumiageOrTheWarimodoshiName)
{
    b.app.m_nHasuMode = 1;
    b.app.m_nKazeiKubun = 2;
    PutRaw(b.Rate(1, 0), 13, 1000000);      // 100 yen excluding tax at 10 %
    PutRaw(b.Rate(1, 0), 29, 1100000);
    PutRaw(b.Rate(1, 2), 413, 80000);       // bad-debt tax at 8 %
    PutRaw(b.Kind(1, 3), 24, 500000);       // kind 3 at reduced 8 %
    PutRaw(b.Rate(1, 0), 45, 70000);        // exempt sales: no method

    int result = 0;
    auto d = Write(0, 1, 0, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(ValueOf(d, "D020114", "KAZEIURIAGEZEINUKI10_TSUMIAGE"), "100");
    EXPECT_EQ(ValueOf(d, "D020114", "KAZEIURIAGEZEIKOMI10_TSUMIAGE"), "110");
    EXPECT_EQ(ValueOf(d, "D020114", "KAZEIURIAGEZEINUKI10_WARIMODOSHI"), "");
    EXPECT_EQ(ValueOf(d, "D020114", "MENZEIURIAGEZEINUKI10"), "7");
    EXPECT_EQ(ValueOf(d, "D020130", "KASHIDAOREZEIGAKU8_TSUMIAGE"), "8");
    EXPECT_EQ(ValueOf(d, "D020230", "KASHIDAOREZEIGAKU8_TSUMIAGE"), "8");
    EXPECT_EQ(ValueOf(d, "D020130", "KASHIDAOREZEIGAKU8_WARIMODOSHI"), "");
    EXPECT_EQ(ValueOf(d, "D020213", "KAZEIURIAGE3SHUZEINUKI8K_TSUMIAGE"), "50");
    EXPECT_EQ(ValueOf(d, "D020213", "KAZEIURIAGE3SHUZEINUKI8K_WARIMODOSHI"), "");

    // Any other sales method is 割り戻し: the same figures move to the partner.
    d = Write(0, 0, 0);
    EXPECT_EQ(ValueOf(d, "D020114", "KAZEIURIAGEZEINUKI10_TSUMIAGE"), "");
    EXPECT_EQ(ValueOf(d, "D020114", "KAZEIURIAGEZEINUKI10_WARIMODOSHI"), "100");
    EXPECT_EQ(ValueOf(d, "D020230", "KASHIDAOREZEIGAKU8_WARIMODOSHI"), "8");
    EXPECT_EQ(ValueOf(d, "D020213", "KAZEIURIAGE3SHUZEINUKI8K_WARIMODOSHI"), "50");
    EXPECT_EQ(ValueOf(d, "D020114", "MENZEIURIAGEZEINUKI10"), "7");
    d = Write(0, 2, 0);
    EXPECT_EQ(ValueOf(d, "D020114", "KAZEIURIAGEZEINUKI10_WARIMODOSHI"), "100");
}

TEST_F(DataFromShiwake, PurchaseMethodAndTheInvoiceRuns)
{
    b.app.m_nHasuMode = 1;
    b.app.m_nKazeiKubun = 2;
    PutRaw(b.Rate(1, 0), 109, 2000000);     // purchases KAZEI excluding tax
    PutRaw(b.Rate(2, 0), 109, 300000);      // 80 %: excluding tax, tax, including tax
    PutRaw(b.Rate(2, 0), 117, 30000);
    PutRaw(b.Rate(2, 0), 125, 330000);
    PutRaw(b.Rate(3, 0), 109, 100000);      // 50 %
    PutRaw(b.Rate(3, 0), 117, 10000);
    PutRaw(b.Rate(3, 0), 125, 999990000);   // never part of a _KANBEN sum

    // 原則課税 without 「2割特例」, sales 割り戻し, purchases 積み上げ.
    auto d = Write(0, 0, 1);
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_TSUMIAGE"), "200");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_WARIMODOSHI"), "");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIGAKU10_INVOICEIGAI_TSUMIAGE_KANBEN"), "4");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIKOMI10_INVOICEIGAI_TSUMIAGE_KANBEN"), "44");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_INVOICEIGAI_WARIMODOSHI80"), "");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIGAKU10_INVOICEIGAI_WARIMODOSHI80"), "");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIKOMI10_INVOICEIGAI_WARIMODOSHI80"), "33");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIKOMI10_INVOICEIGAI_WARIMODOSHI50"), "99999");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIGAKU10_INVOICEIGAI_TSUMIAGE_GENSOKU"), "");

    // Purchases 割り戻し: the pairs swap, the _KANBEN names empty.
    d = Write(0, 1, 0);
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_TSUMIAGE"), "");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_WARIMODOSHI"), "200");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIKOMI10_INVOICEIGAI_TSUMIAGE_KANBEN"), "");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_INVOICEIGAI_WARIMODOSHI80"), "30");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIGAKU10_INVOICEIGAI_WARIMODOSHI50"), "1");

    // Under the 「2割特例」, and under 簡易課税, purchases follow the sales
    // method whatever purchase method was chosen.
    d = Write(1, 1, 0);
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_TSUMIAGE"), "200");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIKOMI10_INVOICEIGAI_TSUMIAGE_KANBEN"), "44");
    d = Write(1, 0, 1);
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_WARIMODOSHI"), "200");
    b.app.m_nKazeiKubun = 1;
    d = Write(0, 1, 2);
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_TSUMIAGE"), "200");
}

TEST_F(DataFromShiwake, KanbenSumsAddTermsRoundedOneByOne)
{
    b.app.m_nHasuMode = 0;   // half up
    b.app.m_nKazeiKubun = 2;
    // Four half yen: each term rounds to 1, so the sum is 4 (rounding the
    // raw sum once would give 2).
    for (int g : {2, 3}) {
        PutRaw(b.Rate(g, 1), 133, 5000);   // HIKAZEI excluding tax
        PutRaw(b.Rate(g, 1), 141, 5000);   // HIKAZEI tax
    }
    auto d = Write(0, 0, 1);
    EXPECT_EQ(ValueOf(d, "D020123", "SHIIREHIKAZEIZEIKOMI8K_INVOICEIGAI_TSUMIAGE_KANBEN"), "4");
    EXPECT_EQ(ValueOf(d, "D020123", "SHIIREHIKAZEIZEIGAKU8K_INVOICEIGAI_TSUMIAGE_KANBEN"), "2");
    // A return class of the 3 % form.
    PutRaw(b.Rate(2, 4), 317, -20000);
    d = Write(0, 0, 1);
    EXPECT_EQ(ValueOf(d, "D020122", "SHIIREHENKANKYOTUUZEIGAKU3_INVOICEIGAI_TSUMIAGE_KANBEN"), "-2");
}

TEST_F(DataFromShiwake, KanbenSumsOfExtremeAmountsStayExact)
{
    b.app.m_nHasuMode = 1;
    b.app.m_nKazeiKubun = 2;
    for (int g : {2, 3}) {
        PutRaw(b.Rate(g, 0), 109, LLONG_MAX);
        PutRaw(b.Rate(g, 0), 117, LLONG_MAX);
    }
    auto d = Write(0, 0, 1);
    // 4 x 922337203685477 yen: whole yen never leave the 64-bit range.
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIKOMI10_INVOICEIGAI_TSUMIAGE_KANBEN"), "3689348814741908");
}

TEST_F(DataFromShiwake, ZeroIsTheRateTotalLessTheKindsAndMayGoNegative)
{
    b.app.m_nHasuMode = 1;
    b.app.m_nKazeiKubun = 1;
    PutRaw(b.Rate(1, 0), 13, 1000000);            // 100 yen total
    PutRaw(b.Kind(0, 1), 24, 700000);             // kinds: 70 + 45.5 yen
    PutRaw(b.Kind(0, 6), 24, 455000);
    PutRaw(b.Rate(1, 0), 85, 50000);              // returns including tax: 5 yen
    PutRaw(b.Kind(0, 2), 32, 19999);              // 1.9999 yen of kind 2
    auto d = Write(0, 1, 0);
    EXPECT_EQ(ValueOf(d, "D020214", "KAZEIURIAGE1SHUZEINUKI10_TSUMIAGE"), "70");
    EXPECT_EQ(ValueOf(d, "D020214", "KAZEIURIAGE6SHUZEINUKI10_TSUMIAGE"), "45");
    // Raw difference -15.5 yen, truncated once: -15 (rounding the kinds first
    // would give -15 as well here, so the returns show the difference).
    EXPECT_EQ(ValueOf(d, "D020214", "KAZEIURIAGEZEROZEINUKI10_TSUMIAGE"), "-15");
    EXPECT_EQ(ValueOf(d, "D020214", "KAZEIURIAGEZEROZEINUKI10_WARIMODOSHI"), "");
    // 5 - 1.9999 = 3.0001, truncated: 3 (the kind rounded first would give 4).
    EXPECT_EQ(ValueOf(d, "D020224", "KAZEIHENKANZEROZEIKOMI10_TSUMIAGE"), "3");
    EXPECT_EQ(ValueOf(d, "D020224", "KAZEIHENKAN2SHUZEIKOMI10_TSUMIAGE"), "1");
    d = Write(0, 0, 0);
    EXPECT_EQ(ValueOf(d, "D020214", "KAZEIURIAGEZEROZEINUKI10_WARIMODOSHI"), "-15");
}

TEST_F(DataFromShiwake, ZeroBeyondTheRawRangeStopsInsteadOfWrapping)
{
    b.app.m_nKazeiKubun = 1;
    PutRaw(b.Rate(1, 2), 21, LLONG_MIN);
    PutRaw(b.Kind(2, 4), 16, 1);
    EXPECT_THROW(Write(0, 1, 0), int);
    EXPECT_THROW(Write(0, 0, 0), int);
}

TEST_F(DataFromShiwake, ElementsThisModeNeverFillsStayEmptyAndZeroIsEmpty)
{
    b.app.m_nHasuMode = 0;
    b.app.m_nKazeiKubun = 2;
    // Every amount of every record non-zero.
    for (int i = 0; i < 15; ++i) {
        for (int off = 13; off <= 445; off += 8) PutRaw(&b.app.m_pRateInfo[i], off, 123450000);
        PutRaw(&b.app.m_pRateInfo[i], 481, 123450000);
        PutRaw(&b.app.m_pRateInfo[i], 489, 123450000);
    }
    for (int i = 0; i < 30; ++i) {
        for (int off = 8; off < 56; off += 8) PutRaw(&b.app.m_pBusinessTypeInfo[i], off, 123450000);
    }
    auto d = Write(0, 1, 1);
    for (const char* form : {"D02204", "D02203", "D02200", "D02201", "D02202"}) {
        for (const auto& e : d[form]) EXPECT_EQ(e.second, "") << form << " " << e.first;
    }
    EXPECT_EQ(ValueOf(d, "D02300", "MENZEIKIKANKAZEIURIAGE"), "");
    EXPECT_EQ(ValueOf(d, "D02400", "MENZEIKIKANKAZEIURIAGE"), "");
    EXPECT_EQ(ValueOf(d, "D020110", "HIKAZEISHISANHENKANZEINUKI8"), "");
    EXPECT_EQ(ValueOf(d, "D020124", "TOKUTEISHIIREKAZEIZEINUKI10"), "");
    EXPECT_EQ(ValueOf(d, "D020120", "TOKUTEISHIIREHENKANKYOTUUZEINUKI8"), "");
    EXPECT_EQ(ValueOf(d, "D020121", "SHIIREHENKANKAZEIZEIKOMI5_INVOICEIGAI_TSUMIAGE_GENSOKU"), "");
    EXPECT_EQ(ValueOf(d, "D020124", "YUNYUSHIIRETIHO10"), "12345");
    EXPECT_EQ(ValueOf(d, "D020123", "YUNYUHENKANKYOTUUZEIGAKU8K"), "12345");

    // 0.4445 yen rounds up in mode 0; 0.4444 rounds to 0 and is empty.
    std::memset(b.app.m_pRateInfo, 0, 15 * sizeof(StTAXREPORTRATEINFO));
    PutRaw(b.Rate(1, 3), 37, 4444);
    PutRaw(b.Rate(1, 4), 37, 4445);
    d = Write(0, 1, 1);
    EXPECT_EQ(ValueOf(d, "D020111", "HIKAZEIURIAGEYUUKAZEINUKI5"), "");
    EXPECT_EQ(ValueOf(d, "D020112", "HIKAZEIURIAGEYUUKAZEINUKI3"), "1");
}

TEST_F(DataFromShiwake, LayoutOfAnExportWithoutFigures)
{
    b.app.m_nKazeiKubun = 2;
    std::string text;
    int result = 0;
    auto d = Write(0, 1, 1, &result, &text);
    EXPECT_EQ(result, 1);
    const auto lines = ParseLines(text);
    // DATA, its 39 children in order, every value element at level 3.
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().name, "DATA");
    EXPECT_EQ(lines.front().level, 1);
    EXPECT_EQ(lines.back().name, "DATA");
    std::vector<std::string> children;
    int values = 0;
    for (const Line& l : lines) {
        if (l.kind == 's' && l.level == 2) children.push_back(l.name);
        if (l.kind == 'e') {
            EXPECT_EQ(l.level, 3);
            ++values;
        }
    }
    ASSERT_EQ(children.size(), 39u);
    for (int f = 0; f < kTagFormCount; ++f) EXPECT_EQ(children[f], TagFormTable[f].code);
    EXPECT_EQ(children[37], "KANPUH");
    EXPECT_EQ(children[38], "KANPUK");
    EXPECT_EQ(values, 1193 + 33);
}

TEST_F(DataFromShiwake, ARateCountOtherThanFiveIsRefusedAfterTheStartTag)
{
    ASSERT_EQ(suite::SuiteStore::Current()->Exec("UPDATE tax_settings SET tax_rate_count = 4"), SUITE_OK);
    std::string text;
    int result = 1;
    Write(0, 1, 1, &result, &text);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(text, "\t<DATA>\r\n");
}

TEST_F(DataFromShiwake, AFailedWriteInsideTheFifthFormEndsTheSection)
{
    b.app.m_nKazeiKubun = 2;
    const std::string full = WriteWith([&](CXmlWriter* w) {
        StDATAINFO data{};
        StSHOHIZEIINFO settings{};
        return b.app.WriteDataFromShiwake(w, &data, &settings, 0, 1, 1);
    });
    const size_t fifth = full.find("\t\t<D020112>\r\n");
    ASSERT_NE(fifth, std::string::npos);
    const size_t budget = fifth + 40;   // inside the fifth form
    int result = 1;
    const std::string part = WriteWith(
        [&](CXmlWriter* w) {
            StDATAINFO data{};
            StSHOHIZEIINFO settings{};
            return b.app.WriteDataFromShiwake(w, &data, &settings, 0, 1, 1);
        },
        &result, budget);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(part, full.substr(0, budget));
}

}  // namespace
