// The refund-statement blocks KANPUH and KANPUK in both modes.
#include "ReportTestSupport.h"

#include "report/TagNameTable.h"

namespace {

using namespace reporttest;

class KanpuWriters : public ::testing::Test {
protected:
    std::map<std::string, Elements> Aggregated(BYTE orgKind, BYTE incomeKinds, BYTE zeikomi)
    {
        StDATAINFO data{};
        data.byOrgKind = orgKind;
        data.byIncomeKinds = incomeKinds;
        StSHOHIZEIINFO settings{};
        settings.byZeikomi = zeikomi;
        const std::string text = WriteWith([&](CXmlWriter* w) {
            return b.app.WriteKanpuH(w, &data, &settings) && b.app.WriteKanpuK(w, &data, &settings);
        });
        return ByContainer(ParseLines(text));
    }
    std::map<std::string, Elements> Saved(BYTE orgKind)
    {
        StDATAINFO data{};
        data.byOrgKind = orgKind;
        const std::string text = WriteWith([&](CXmlWriter* w) {
            return b.app.WriteKanpuHFromSaveInfo(w, &data) && b.app.WriteKanpuKFromSaveInfo(w, &data);
        });
        return ByContainer(ParseLines(text));
    }
    static int Filled(const Elements& elements)
    {
        int n = 0;
        for (const auto& e : elements) n += e.second.empty() ? 0 : 1;
        return n;
    }

    AppWithBuffers b;
};

TEST_F(KanpuWriters, CorporationInTheAggregationModeWhateverTheTaxationKind)
{
    b.app.m_nHasuMode = 1;
    b.app.m_nKazeiKubun = 1;   // 簡易課税
    b.app.m_abHanbaiIppan.llAmount[1] = 1234567;
    b.app.m_abHanbaiIppan.llAmount[2] = 99990000;   // never written
    b.app.m_llKurinobeShisan = 50000;
    b.app.m_abJigyoShiire.llAmount[0] = 10000;      // an individual's row: not for a corporation
    auto d = Aggregated(1, 0, 0);
    ASSERT_EQ(d["KANPUH"].size(), 16u);
    EXPECT_EQ(ValueOf(d, "KANPUH", "KESSANZEIKUBUN"), "2");   // tax-excluded books
    EXPECT_EQ(ValueOf(d, "KANPUH", "HANBAIIPPAN2"), "123");
    EXPECT_EQ(ValueOf(d, "KANPUH", "HANBAIIPPAN1"), "");
    EXPECT_EQ(ValueOf(d, "KANPUH", "SHISANZEIKUBUN"), "2");
    EXPECT_EQ(ValueOf(d, "KANPUH", "KURINOBESHISAN1"), "5");
    EXPECT_EQ(ValueOf(d, "KANPUH", "KOTEISHISAN1"), "");
    EXPECT_EQ(Filled(d["KANPUH"]), 4);
    ASSERT_EQ(d["KANPUK"].size(), 17u);
    EXPECT_EQ(Filled(d["KANPUK"]), 0);

    // Tax-included books: "1". A 0.4 yen total marks the class though its
    // row is empty.
    b.app.m_abHanbaiIppan = AccumBlock{};
    b.app.m_llKurinobeShisan = 0;
    b.app.m_abSonotaSoneki.llAmount[0] = 4000;
    d = Aggregated(0, 0, 1);
    EXPECT_EQ(ValueOf(d, "KANPUH", "KESSANZEIKUBUN"), "1");
    EXPECT_EQ(ValueOf(d, "KANPUH", "SONOTASONEKI1"), "");
    EXPECT_EQ(ValueOf(d, "KANPUH", "SHISANZEIKUBUN"), "");
}

TEST_F(KanpuWriters, IndividualRowsCarryZeroByIncomeKind)
{
    b.app.m_nHasuMode = 1;
    b.app.m_nKazeiKubun = 2;
    b.app.m_abShohinShiire.llAmount[0] = 10000;   // a corporation's row: not for an individual
    // Income kinds 1 (business): the five business rows with write flag 1.
    auto d = Aggregated(3, 1, 0);
    EXPECT_EQ(Filled(d["KANPUH"]), 0);
    EXPECT_EQ(ValueOf(d, "KANPUK", "KESSANZEIKUBUN"), "");
    for (const char* name : {"JIGYOSHIIRE1", "JIGYOSHIIRE2", "JIGYOHITSUYOU1", "JIGYOHITSUYOU2", "JIGYOKOTEISHISAN1"}) {
        EXPECT_EQ(ValueOf(d, "KANPUK", name), "0") << name;
    }
    EXPECT_EQ(Filled(d["KANPUK"]), 5);
    // Income kinds 2 (real estate): three rows.
    d = Aggregated(4, 2, 0);
    EXPECT_EQ(ValueOf(d, "KANPUK", "FUDOUSANHITSUYOU1"), "0");
    EXPECT_EQ(ValueOf(d, "KANPUK", "FUDOUSANKOTEISHISAN1"), "0");
    EXPECT_EQ(ValueOf(d, "KANPUK", "FUDOUSANKOTEISHISAN2"), "");
    EXPECT_EQ(Filled(d["KANPUK"]), 3);
    // Income kinds 3 to 6, and any other value: all twelve rows with flag 1.
    for (BYTE kinds : {3, 4, 6, 0, 9}) {
        d = Aggregated(3, kinds, 0);
        EXPECT_EQ(Filled(d["KANPUK"]), 12) << int(kinds);
        EXPECT_EQ(ValueOf(d, "KANPUK", "SONOTAKOTEISHISAN1"), "");
        EXPECT_EQ(ValueOf(d, "KANPUK", "JIGYOKOTEISHISAN2"), "");
    }
    // Amounts: rounded, a sub-yen total marks the class and writes "0".
    b.app.m_abSonotaHitsuyou.llAmount[1] = 4000;
    b.app.m_abJigyoShiire.llAmount[0] = -123456;
    d = Aggregated(3, 4, 1);
    EXPECT_EQ(ValueOf(d, "KANPUK", "KESSANZEIKUBUN"), "1");
    EXPECT_EQ(ValueOf(d, "KANPUK", "SONOTAHITSUYOU2"), "0");
    EXPECT_EQ(ValueOf(d, "KANPUK", "JIGYOSHIIRE1"), "-12");
    // Not under 原則課税: the empty block.
    b.app.m_nKazeiKubun = 1;
    d = Aggregated(3, 4, 1);
    EXPECT_EQ(d["KANPUK"].size(), 17u);
    EXPECT_EQ(Filled(d["KANPUK"]), 0);
}

TEST_F(KanpuWriters, SavedAmountsFeedTheBlockOfTheOrganisationKind)
{
    b.app.m_nHasuMode = 1;
    b.app.m_nKazeiKubun = 2;
    for (int slot = 0; slot < 16; ++slot) b.Save(9868 + 8 * slot, (slot + 1) * 10000);
    b.app.m_pSaveTaxInfo[9865] = 2;
    b.app.m_pSaveTaxInfo[9866] = 0;
    b.app.m_pSaveTaxInfo[9867] = 2;

    auto d = Saved(0);
    EXPECT_EQ(ValueOf(d, "KANPUH", "KESSANZEIKUBUN"), "1");
    EXPECT_EQ(ValueOf(d, "KANPUH", "SHOHINSHIIRE1"), "1");
    EXPECT_EQ(ValueOf(d, "KANPUH", "SONOTASONEKI2"), "8");
    EXPECT_EQ(ValueOf(d, "KANPUH", "SHISANZEIKUBUN"), "2");
    EXPECT_EQ(ValueOf(d, "KANPUH", "KOTEISHISAN1"), "9");
    EXPECT_EQ(ValueOf(d, "KANPUH", "SONOTASISAN2"), "14");
    EXPECT_EQ(Filled(d["KANPUK"]), 0);

    d = Saved(3);
    EXPECT_EQ(Filled(d["KANPUH"]), 0);
    EXPECT_EQ(ValueOf(d, "KANPUK", "KESSANZEIKUBUN"), "2");
    EXPECT_EQ(ValueOf(d, "KANPUK", "JIGYOSHIIRE1"), "1");
    EXPECT_EQ(ValueOf(d, "KANPUK", "SONOTAKOTEISHISAN2"), "16");
    EXPECT_EQ(Filled(d["KANPUK"]), 17);

    // A zero is empty in this mode; the asset class stays empty without assets.
    for (int slot = 8; slot < 14; ++slot) b.Save(9868 + 8 * slot, 0);
    d = Saved(1);
    EXPECT_EQ(ValueOf(d, "KANPUH", "SHISANZEIKUBUN"), "");
    EXPECT_EQ(ValueOf(d, "KANPUH", "KOTEISHISAN1"), "");

    // Not under 原則課税: both blocks empty.
    b.app.m_nKazeiKubun = 1;
    d = Saved(0);
    EXPECT_EQ(Filled(d["KANPUH"]) + Filled(d["KANPUK"]), 0);
    EXPECT_EQ(d["KANPUH"].size() + d["KANPUK"].size(), 33u);
}

TEST_F(KanpuWriters, EachSavedAmountAloneMarksTheClassOfItsGroup)
{
    // One saved amount at a time: the settlement class of the corporation
    // follows slots 0 to 7, its asset class slots 8 to 13, the individual's
    // class all 16 slots.
    b.app.m_nHasuMode = 1;
    b.app.m_nKazeiKubun = 2;
    b.app.m_pSaveTaxInfo[9865] = 2;
    b.app.m_pSaveTaxInfo[9866] = 2;
    b.app.m_pSaveTaxInfo[9867] = 2;
    for (int slot : {0, 7, 8, 13, 15}) {
        for (int i = 0; i < 16; ++i) b.Save(9868 + 8 * i, i == slot ? 10000 : 0);
        auto d = Saved(0);
        EXPECT_EQ(ValueOf(d, "KANPUH", "KESSANZEIKUBUN"), slot <= 7 ? "2" : "") << slot;
        EXPECT_EQ(ValueOf(d, "KANPUH", "SHISANZEIKUBUN"), slot >= 8 && slot <= 13 ? "2" : "") << slot;
        d = Saved(3);
        EXPECT_EQ(ValueOf(d, "KANPUK", "KESSANZEIKUBUN"), "2") << slot;
    }
}

TEST_F(KanpuWriters, AFailedWriteStopsTheBlock)
{
    StDATAINFO data{};
    StSHOHIZEIINFO settings{};
    int result = 1;
    const std::string text =
        WriteWith([&](CXmlWriter* w) { return b.app.WriteKanpuH(w, &data, &settings); }, &result, 50);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(text.size(), 50u);
}

}  // namespace
