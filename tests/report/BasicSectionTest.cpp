// BASIC: the company name in full width cut at 32 bytes, the fiscal year and
// the flags of both modes, and the transitional-rate test of the aggregation.
#include "ReportTestSupport.h"

#include "tests/suite/SuiteTestHome.h"

#include <string>

namespace {

using namespace reporttest;

TEST(ToZenkakuText32, HalfWidthTextBecomesFullWidthAndIsCutAt32Bytes)
{
    // 15 half-width letters: 30 bytes, whole.
    EXPECT_STREQ(CShohizeiLinkApp::ToZenkakuText32("ABCDEFGHIJKLMNO"), "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯ");
    // 20: 40 bytes, cut to the first 16 characters.
    EXPECT_STREQ(CShohizeiLinkApp::ToZenkakuText32("abcdefghij0123456789"), "ａｂｃｄｅｆｇｈｉｊ０１２３４５");
    // Half-width katakana and symbols through their Unicode full-width forms.
    EXPECT_STREQ(CShohizeiLinkApp::ToZenkakuText32("ｶﾞｽ \"A\\~"), "ガス\x81\x40\xFA\x57Ａ\x81\x5F\x81\x60");
    EXPECT_STREQ(CShohizeiLinkApp::ToZenkakuText32(""), "");
}

TEST(ToZenkakuText32, TheCutNeverEndsInsideACharacter)
{
    // 15 full-width characters and メ (0x83 0x81): the 32nd byte is 0x81, a
    // second byte in the lead-byte range. メ is whole, 32 bytes.
    const std::string fifteen = "株式会社東京商事総合研究所本店";
    ASSERT_EQ(fifteen.size(), 30u);
    EXPECT_EQ(std::string(CShohizeiLinkApp::ToZenkakuText32((fifteen + "メモ").c_str())), fifteen + "メ");
    // A half-width letter then 16 full-width characters: the 32nd byte is a
    // first byte, so 31 bytes are taken.
    const std::string text = "A" + fifteen + "メ";
    EXPECT_EQ(std::string(CShohizeiLinkApp::ToZenkakuText32(text.c_str())), "Ａ" + fifteen);
    // One shared buffer.
    LPCTSTR first = CShohizeiLinkApp::ToZenkakuText32("a");
    LPCTSTR second = CShohizeiLinkApp::ToZenkakuText32("b");
    EXPECT_EQ(first, second);
    EXPECT_STREQ(second, "ｂ");
}

class BasicSection : public suitetest::ConnectedSuite {
protected:
    void SetUp() override { Connect(1); }
    std::map<std::string, Elements> Write(int mode, int niwari, int* pResult = nullptr, std::string* pText = nullptr)
    {
        const std::string text =
            WriteWith([&](CXmlWriter* w) { return b.app.WriteBasicSection(w, &data, mode, niwari); }, pResult);
        if (pText) *pText = text;
        return ByContainer(ParseLines(text));
    }
    AppWithBuffers b;
    StDATAINFO data{};
};

TEST_F(BasicSection, AggregationModeFromTheDatasetAndTheRecords)
{
    std::strcpy(data.szCompanyName, "ｻﾝﾌﾟﾙ&Co");
    data.lPeriodFrom = 20240401;
    data.lPeriodTo = 20250331;
    data.byOrgKind = 1;
    b.app.m_nKazeiKubun = 2;
    int result = 0;
    std::string text;
    auto d = Write(0, 0x101, &result, &text);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(text,
              "\t<BASIC>\r\n"
              "\t\t<KOMONSAKINAME>サンプル＆Ｃｏ</KOMONSAKINAME>\r\n"
              "\t\t<JIGYOUNENDOFROM>20240401</JIGYOUNENDOFROM>\r\n"
              "\t\t<JIGYOUNENDOTO>20250331</JIGYOUNENDOTO>\r\n"
              "\t\t<HOUJINKOJINKUBUN>1</HOUJINKOJINKUBUN>\r\n"
              "\t\t<KAZEIKUBUN>1</KAZEIKUBUN>\r\n"
              "\t\t<KEIKASHOCHIKAZEISHISAN>2</KEIKASHOCHIKAZEISHISAN>\r\n"
              "\t\t<NIWARITOKUREI>1</NIWARITOKUREI>\r\n"
              "\t</BASIC>\r\n");

    data.byOrgKind = 2;
    b.app.m_nKazeiKubun = 1;
    d = Write(0, 2);
    EXPECT_EQ(ValueOf(d, "BASIC", "HOUJINKOJINKUBUN"), "");
    EXPECT_EQ(ValueOf(d, "BASIC", "KAZEIKUBUN"), "2");
    EXPECT_EQ(ValueOf(d, "BASIC", "NIWARITOKUREI"), "2");
    data.byOrgKind = 4;
    EXPECT_EQ(ValueOf(Write(0, 0), "BASIC", "HOUJINKOJINKUBUN"), "2");
}

TEST_F(BasicSection, SavedValuesModeTakesYearAndFlagsFromTheSavedRecord)
{
    data.lPeriodFrom = 20240401;
    data.lPeriodTo = 20250331;
    const int32_t from = 20230101, to = 20231231, usable = 20990101;
    std::memcpy(b.app.m_pSaveTaxInfo + 17, &from, 4);
    std::memcpy(b.app.m_pSaveTaxInfo + 21, &to, 4);
    std::memcpy(b.app.m_pSaveTaxInfo + 9, &usable, 4);   // the usability check's dates, not BASIC's
    b.app.m_pSaveTaxInfo[8] = 3;
    b.app.m_pSaveTaxInfo[17344] = 1;
    auto d = Write(1, 0);
    EXPECT_EQ(ValueOf(d, "BASIC", "JIGYOUNENDOFROM"), "20230101");
    EXPECT_EQ(ValueOf(d, "BASIC", "JIGYOUNENDOTO"), "20231231");
    EXPECT_EQ(ValueOf(d, "BASIC", "KEIKASHOCHIKAZEISHISAN"), "1");
    EXPECT_EQ(ValueOf(d, "BASIC", "NIWARITOKUREI"), "1");
    b.app.m_pSaveTaxInfo[8] = 0;
    b.app.m_pSaveTaxInfo[17344] = 0;
    d = Write(1, 1);   // the argument is ignored in this mode
    EXPECT_EQ(ValueOf(d, "BASIC", "KEIKASHOCHIKAZEISHISAN"), "2");
    EXPECT_EQ(ValueOf(d, "BASIC", "NIWARITOKUREI"), "2");

    // Without the saved record nothing is written.
    delete[] b.app.m_pSaveTaxInfo;
    b.app.m_pSaveTaxInfo = nullptr;
    int result = 1;
    std::string text;
    Write(1, 0, &result, &text);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(text, "");
}

TEST_F(BasicSection, TransitionalAmountsAreThoseOutsideTenAndReducedEight)
{
    for (int g = 1; g <= 3; ++g) {
        const int32_t rates[5] = {1000, 800, 800, 500, 300};
        const BYTE keigen[5] = {0, 1, 0, 0, 0};
        for (int r = 0; r < 5; ++r) {
            std::memcpy(b.Rate(g, r), &rates[r], 4);
            b.Rate(g, r)->byKeigen = keigen[r];
        }
    }
    PutRaw(b.Rate(1, 0), 13, 100);
    PutRaw(b.Rate(3, 1), 445, 100);
    for (int k = 1; k <= 6; ++k) {
        PutRaw(b.Kind(0, k), 8, 100);
        PutRaw(b.Kind(1, k), 48, 100);
    }
    EXPECT_EQ(b.app.HasKeikaSochiAmounts(), 0);
    // The last amount of an 8 % record of group 2.
    PutRaw(b.Rate(2, 2), 445, -1);
    EXPECT_EQ(b.app.HasKeikaSochiAmounts(), 1);
    PutRaw(b.Rate(2, 2), 445, 0);
    // One amount of a business-kind record of the 5 % rate.
    PutRaw(b.Kind(3, 5), 48, 1);
    EXPECT_EQ(b.app.HasKeikaSochiAmounts(), 1);
    PutRaw(b.Kind(3, 5), 48, 0);
    // The 3 % record of group 3, first amount.
    PutRaw(b.Rate(3, 4), 13, 1);
    EXPECT_EQ(b.app.HasKeikaSochiAmounts(), 1);
    EXPECT_EQ(ValueOf(Write(0, 0), "BASIC", "KEIKASHOCHIKAZEISHISAN"), "1");
}

TEST_F(BasicSection, AFailedLineEndsTheSection)
{
    int result = 1;
    std::string text;
    const std::string full = WriteWith([&](CXmlWriter* w) { return b.app.WriteBasicSection(w, &data, 0, 0); });
    text = WriteWith([&](CXmlWriter* w) { return b.app.WriteBasicSection(w, &data, 0, 0); }, &result, 60);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(text, full.substr(0, 60));
}

}  // namespace
