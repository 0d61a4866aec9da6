// DATA from the saved tax-return values: the offset of every kind of amount,
// the four conditions, the 20-fold securities amount and the _KANBEN sums.
#include "ReportTestSupport.h"

#include "report/TagNameTable.h"

#include <climits>

namespace {

using namespace reporttest;

class DataFromSaveInfo : public ::testing::Test {
protected:
    std::map<std::string, Elements> Write(int niwari, int uriage, int shiire, int* pResult = nullptr)
    {
        StDATAINFO data{};
        data.byOrgKind = 0;
        const std::string text = WriteWith(
            [&](CXmlWriter* w) { return b.app.WriteDataFromSaveInfo(w, &data, niwari, uriage, shiire); }, pResult);
        return ByContainer(ParseLines(text));
    }
    void SavedKind(BYTE kind) { b.app.m_pSaveTaxInfo[3] = kind; }

    AppWithBuffers b;
};

TEST_F(DataFromSaveInfo, OnlyTheHalfOfTheCurrentTaxationKindCarriesAmounts)
{
    b.app.m_nHasuMode = 1;
    // Every byte 0x01: every stored amount is 7234017283807.6673 yen.
    std::memset(b.app.m_pSaveTaxInfo, 1, SAVETAXINFO_BUFFER_SIZE);
    for (BYTE kind : {0, 1, 2}) {
        b.app.m_nKazeiKubun = kind;
        int result = 0;
        auto d = Write(0, 1, 1, &result);
        EXPECT_EQ(result, 1);
        int filledGeneral = 0;
        int filledSimplified = 0;
        for (int f = 0; f < kTagFormCount; ++f) {
            for (const auto& e : d[TagFormTable[f].code]) {
                if (!e.second.empty()) ++(f <= 20 ? filledGeneral : filledSimplified);
            }
        }
        if (kind == 2) {
            EXPECT_GT(filledGeneral, 0);
            EXPECT_EQ(filledSimplified, 0);
        } else {
            EXPECT_EQ(filledGeneral, 0);
            EXPECT_GT(filledSimplified, 0);
        }
    }
}

TEST_F(DataFromSaveInfo, AmountsAtTheirOffsets)
{
    b.app.m_nHasuMode = 1;
    b.app.m_nKazeiKubun = 2;
    SavedKind(1);
    b.Save(12611, 10000000);          // KAZEIURIAGEZEINUKI10
    b.Save(12707 + 208, 20000);       // SHIIREHENKANKYOTUUZEIGAKU8
    b.Save(14291 + 40, 30000);        // TOKUTEISHIIREHENKANKYOTUUZEINUKI10
    b.Save(14732 + 8, 40000);         // YUNYUHENKANTIHO8K
    b.Save(2068 + 8, 50000);          // GIMUMENJOKYOTUU5
    b.Save(17094, 60000);             // KYOJUYOCHINTAI3
    b.Save(1405 + 24 + 16, -70000);   // KASHIDAOREKAISHUZEIKOMI3
    b.Save(13003 + 128, 80000);       // YUNYUSHIIREKYOTUUZEIGAKU10
    b.Save(573 + 88, 90000);          // HIKAZEISHISANYUSHUTSUZEINUKI5
    auto d = Write(0, 1, 0);
    EXPECT_EQ(ValueOf(d, "D020114", "KAZEIURIAGEZEINUKI10_TSUMIAGE"), "1000");
    EXPECT_EQ(ValueOf(d, "D020114", "KAZEIURIAGEZEINUKI10_WARIMODOSHI"), "");
    EXPECT_EQ(ValueOf(d, "D020120", "SHIIREHENKANKYOTUUZEIGAKU8_WARIMODOSHI"), "2");
    EXPECT_EQ(ValueOf(d, "D020120", "SHIIREHENKANKYOTUUZEIGAKU8_TSUMIAGE"), "");
    EXPECT_EQ(ValueOf(d, "D020124", "TOKUTEISHIIREHENKANKYOTUUZEINUKI10"), "3");
    EXPECT_EQ(ValueOf(d, "D020123", "YUNYUHENKANTIHO8K"), "4");
    EXPECT_EQ(ValueOf(d, "D02201", "GIMUMENJOKYOTUU5"), "5");
    EXPECT_EQ(ValueOf(d, "D02202", "KYOJUYOCHINTAI3"), "6");
    EXPECT_EQ(ValueOf(d, "D020132", "KASHIDAOREKAISHUZEIKOMI3_TSUMIAGE"), "-7");
    EXPECT_EQ(ValueOf(d, "D020232", "KASHIDAOREKAISHUZEIKOMI3_TSUMIAGE"), "");   // other half
    EXPECT_EQ(ValueOf(d, "D020124", "YUNYUSHIIREKYOTUUZEIGAKU10"), "8");
    EXPECT_EQ(ValueOf(d, "D020111", "HIKAZEISHISANYUSHUTSUZEINUKI5"), "9");

    // The simplified half: kind 3 of the 5 % returns, kind 6 of the 8 % sales,
    // and the exempt sales as the last name of both forms.
    b.app.m_nKazeiKubun = 1;
    SavedKind(2);
    b.Save(1757, 110000);             // KAZEIHENKAN3SHUZEIKOMI5
    b.Save(14067 + 8, 120000);        // KAZEIURIAGE6SHUZEIGAKU8
    b.Save(12515 + 24, 130000);       // MENZEIURIAGEZEINUKI8
    b.Save(12515 + 72, 140000);       // MENZEIURIAGEHENKANZEINUKI8
    d = Write(0, 1, 0);
    EXPECT_EQ(ValueOf(d, "D020221", "KAZEIHENKAN3SHUZEIKOMI5_TSUMIAGE"), "11");
    EXPECT_EQ(ValueOf(d, "D020210", "KAZEIURIAGE6SHUZEIGAKU8_TSUMIAGE"), "12");
    EXPECT_EQ(ValueOf(d, "D020210", "MENZEIURIAGEZEINUKI8"), "13");
    EXPECT_EQ(ValueOf(d, "D020220", "MENZEIURIAGEHENKANZEINUKI8"), "14");
    EXPECT_EQ(ValueOf(d, "D020110", "MENZEIURIAGEZEINUKI8"), "");
    EXPECT_EQ(ValueOf(d, "D020210", "KAZEIURIAGEZEROZEIGAKU8_TSUMIAGE"), "");
}

// Business kinds 5 and 6 of the simplified forms lie in different blocks:
// kind 5 is the last of the kinds-1-to-5 block, kind 6 has a block of its own.
// Every amount of both kinds differs, at every rate, for sales and returns.
TEST_F(DataFromSaveInfo, SimplifiedKindsFiveAndSixReadTheirOwnBlocks)
{
    b.app.m_nHasuMode = 1;
    b.app.m_nKazeiKubun = 1;
    SavedKind(2);
    const struct {
        const char* token;
        const char* salesForm;
        const char* returnsForm;
        int sales15, sales6, returns15, returns6;
    } rates[] = {
        {"10", "D020214", "D020224", 13515, 14091, 13755, 14187},
        {"8K", "D020213", "D020223", 14820, 14940, 14964, 15084},
        {"8", "D020210", "D020220", 13395, 14067, 13635, 14163},
        {"5", "D020211", "D020221", 1453, 14043, 1693, 14139},
        {"3", "D020212", "D020222", 1573, 14019, 1813, 14115},
    };
    const char* parts[3] = {"ZEINUKI", "ZEIGAKU", "ZEIKOMI"};
    // Whole yen, each amount its own: rate r, block, kind, part.
    auto yen = [](int r, int block, int kind, int part) { return 1000 * (r + 1) + 100 * block + 10 * kind + part + 1; };
    for (int r = 0; r < 5; ++r) {
        for (int part = 0; part < 3; ++part) {
            b.Save(rates[r].sales15 + 24 * 4 + 8 * part, yen(r, 0, 5, part) * 10000LL);
            b.Save(rates[r].sales6 + 8 * part, yen(r, 0, 6, part) * 10000LL);
            b.Save(rates[r].returns15 + 24 * 4 + 8 * part, yen(r, 1, 5, part) * 10000LL);
            b.Save(rates[r].returns6 + 8 * part, yen(r, 1, 6, part) * 10000LL);
        }
    }
    const auto d = Write(0, 1, 0);
    for (int r = 0; r < 5; ++r) {
        for (int kind = 5; kind <= 6; ++kind) {
            for (int part = 0; part < 3; ++part) {
                const std::string suffix = std::to_string(kind) + "SHU" + parts[part] + rates[r].token + "_TSUMIAGE";
                EXPECT_EQ(ValueOf(d, rates[r].salesForm, "KAZEIURIAGE" + suffix),
                          std::to_string(yen(r, 0, kind, part)));
                EXPECT_EQ(ValueOf(d, rates[r].returnsForm, "KAZEIHENKAN" + suffix),
                          std::to_string(yen(r, 1, kind, part)));
            }
        }
    }
}

TEST_F(DataFromSaveInfo, PurchaseMethodUnderTheNiwariTokurei)
{
    b.app.m_nHasuMode = 1;
    b.app.m_nKazeiKubun = 2;
    SavedKind(1);
    b.Save(13003, 10000);                    // SHIIREKAZEIZEINUKI10
    b.Save(17933 + 8, 20000);                // 80 % KAZEI tax
    // 「2割特例」 on, sales 1, purchases 2: purchases follow the sales method.
    auto d = Write(1, 1, 2);
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_TSUMIAGE"), "1");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_WARIMODOSHI"), "");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIGAKU10_INVOICEIGAI_TSUMIAGE_KANBEN"), "2");
    // Off: the purchase method decides, and 2 counts as 割り戻し.
    d = Write(0, 1, 2);
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_TSUMIAGE"), "");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_WARIMODOSHI"), "1");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIGAKU10_INVOICEIGAI_TSUMIAGE_KANBEN"), "");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIGAKU10_INVOICEIGAI_WARIMODOSHI80"), "2");
    // Purchases 1 whatever the sales method; only the low byte counts.
    d = Write(0, 0, 0x101);
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_TSUMIAGE"), "1");
    // With the saved kind not general the 「2割特例」 does not couple them.
    SavedKind(2);
    d = Write(1, 1, 0);
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_WARIMODOSHI"), "1");
}

TEST_F(DataFromSaveInfo, InvoiceRunsAndKanbenSumsRoundedOnce)
{
    b.app.m_nHasuMode = 0;
    b.app.m_nKazeiKubun = 2;
    SavedKind(1);
    b.Save(17933, 5000);        // 80 %: 0.5 yen excluding tax
    b.Save(17941, 5000);        //        0.5 yen tax
    b.Save(17949, 330000);      //        33 yen including tax: not in the sum
    b.Save(18653, 5000);        // 50 %
    b.Save(18661, 4999);
    b.Save(18669, 990000);
    auto d = Write(0, 0, 1);
    // 1.9999 yen rounded once: 2 (term by term it would be 4).
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIKOMI10_INVOICEIGAI_TSUMIAGE_KANBEN"), "2");
    // 0.9999 yen: 1.
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIGAKU10_INVOICEIGAI_TSUMIAGE_KANBEN"), "1");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIKOMI10_INVOICEIGAI_WARIMODOSHI80"), "33");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEINUKI10_INVOICEIGAI_WARIMODOSHI80"), "");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIGAKU10_INVOICEIGAI_WARIMODOSHI80"), "");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIKOMI10_INVOICEIGAI_WARIMODOSHI50"), "99");
    EXPECT_EQ(ValueOf(d, "D020124", "SHIIREKAZEIZEIGAKU10_INVOICEIGAI_TSUMIAGE_GENSOKU"), "");
    // The returns classes start at the fourth class of each block: reduced 8 %.
    b.Save(17789 + 72 + 8, 30000);
    b.Save(18509 + 72 + 8, 40000);
    d = Write(0, 0, 1);
    EXPECT_EQ(ValueOf(d, "D020123", "SHIIREHENKANKAZEIZEIGAKU8K_INVOICEIGAI_TSUMIAGE_KANBEN"), "7");
}

TEST_F(DataFromSaveInfo, SecuritiesAreTwentyFoldBeforeRounding)
{
    b.app.m_nKazeiKubun = 2;
    b.Save(12611 + 32, 12345);   // 1.2345 yen stored, 24.69 yen written
    b.app.m_nHasuMode = 0;
    EXPECT_EQ(ValueOf(Write(0, 1, 1), "D020114", "HIKAZEIURIAGEYUUKAZEINUKI10"), "25");
    b.app.m_nHasuMode = 1;
    EXPECT_EQ(ValueOf(Write(0, 1, 1), "D020114", "HIKAZEIURIAGEYUUKAZEINUKI10"), "24");
    // Any amount from 1 to 9,999 raw is empty in mode 1.
    b.Save(12611, 9999);
    EXPECT_EQ(ValueOf(Write(0, 1, 1), "D020114", "KAZEIURIAGEZEINUKI10_TSUMIAGE"), "");
}

TEST_F(DataFromSaveInfo, MenzeiKikanFollowsTheCurrentAndTheSavedKind)
{
    b.app.m_nHasuMode = 1;
    b.Save(17349, 150000);
    struct {
        BYTE current, saved;
        const char* d02300;
        const char* d02400;
    } cases[] = {{2, 1, "15", ""}, {1, 2, "", "15"}, {0, 2, "", "15"}, {2, 2, "", ""}, {1, 1, "", ""}, {0, 1, "", ""}};
    for (const auto& c : cases) {
        b.app.m_nKazeiKubun = c.current;
        SavedKind(c.saved);
        auto d = Write(0, 1, 1);
        EXPECT_EQ(ValueOf(d, "D02300", "MENZEIKIKANKAZEIURIAGE"), c.d02300) << int(c.current) << int(c.saved);
        EXPECT_EQ(ValueOf(d, "D02400", "MENZEIKIKANKAZEIURIAGE"), c.d02400) << int(c.current) << int(c.saved);
    }
}

TEST_F(DataFromSaveInfo, AmountsBeyondTheRawRangeStopTheExport)
{
    // The 20-fold product: the last amount that fits, and the first that does not.
    const __int64 limit = LLONG_MAX / 20;
    EXPECT_EQ(b.app.MulRawBy20(limit), limit * 20);
    EXPECT_EQ(b.app.MulRawBy20(-limit), -limit * 20);
    EXPECT_EQ(b.app.MulRawBy20(-12345), -246900);
    EXPECT_THROW(b.app.MulRawBy20(limit + 1), int);
    EXPECT_THROW(b.app.MulRawBy20(LLONG_MIN), int);

    b.app.m_nKazeiKubun = 2;
    SavedKind(1);
    b.Save(12515 + 32, limit + 1);   // 8 % securities
    EXPECT_THROW(Write(0, 1, 1), int);
    // Not written (other half): not formed, no stop.
    b.app.m_nKazeiKubun = 1;
    EXPECT_NO_THROW(Write(0, 1, 1));

    // A _KANBEN sum reaching 10^18 raw.
    b.Save(12515 + 32, 0);
    b.app.m_nKazeiKubun = 2;
    b.Save(17645 + 8, 600000000000000000LL);
    b.Save(18365 + 8, 400000000000000000LL);
    EXPECT_THROW(Write(0, 1, 1), int);
    // Under purchases 割り戻し the sum is written empty and never formed.
    int result = 0;
    auto d = Write(0, 1, 0, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(ValueOf(d, "D020120", "SHIIREKAZEIZEIGAKU8_INVOICEIGAI_TSUMIAGE_KANBEN"), "");
    EXPECT_EQ(ValueOf(d, "D020120", "SHIIREKAZEIZEIGAKU8_INVOICEIGAI_WARIMODOSHI80"), "60000000000000");
}

TEST_F(DataFromSaveInfo, WithoutTheSavedValuesTheSectionFails)
{
    delete[] b.app.m_pSaveTaxInfo;
    b.app.m_pSaveTaxInfo = nullptr;
    int result = 1;
    Write(0, 1, 1, &result);
    EXPECT_EQ(result, 0);
}

}  // namespace
