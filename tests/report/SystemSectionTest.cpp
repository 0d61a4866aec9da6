// SYSTEM: constants, the caller's function id, the program's version from the
// string table, and the product from the support-information file or the
// edition's literal.
#include "ReportTestSupport.h"

#include "res/Edition.h"

namespace {

using namespace reporttest;

class SystemSection : public InHostDirTest {
protected:
    std::string Write(int* pResult = nullptr, size_t budget = static_cast<size_t>(-1))
    {
        return WriteWith([&](CXmlWriter* w) { return app.WriteSystemSection(w); }, pResult, budget);
    }

    CShohizeiLinkApp app;
};

TEST_F(SystemSection, WithoutASupportFileTheFallbacksAreWritten)
{
    int result = 0;
    EXPECT_EQ(Write(&result),
              "\t<SYSTEM>\r\n"
              "\t\t<GYOUMUPREFIX>SY35</GYOUMUPREFIX>\r\n"
              "\t\t<VERSION>1</VERSION>\r\n"
              "\t\t<FUNCTIONID>1</FUNCTIONID>\r\n"
              "\t\t<CONNECTEDPROGRAMVER>22.50.00</CONNECTEDPROGRAMVER>\r\n"
              "\t\t<PROGRAMNAME>Varnel２２</PROGRAMNAME>\r\n"
              "\t\t<PROGRAMVER>22.50.0X</PROGRAMVER>\r\n"
              "\t</SYSTEM>\r\n");
    EXPECT_EQ(result, 1);
    EXPECT_STREQ(g_Edition.pszProductName, "Varnel２２");
}

TEST_F(SystemSection, ProductFromTheSupportFileAndTheCallersFunctionId)
{
    WriteSupportFile("[=製品名=]Varnel R&D \"Pro\"\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]22.51.07\r\n");
    app.m_nFunctionId = -12;
    const auto d = ByContainer(ParseLines(Write()));
    EXPECT_EQ(ValueOf(d, "SYSTEM", "FUNCTIONID"), "-12");
    EXPECT_EQ(ValueOf(d, "SYSTEM", "PROGRAMNAME"), "Varnel R&amp;D &quot;Pro&quot;");
    EXPECT_EQ(ValueOf(d, "SYSTEM", "PROGRAMVER"), "22.51.07");
}

TEST_F(SystemSection, AProductNameBeyondItsLineIsCutAtACharacter)
{
    // 111 full-width characters (222 bytes), then "&" and more: the escaped
    // name keeps within 224 bytes, so the entity is not begun.
    std::string name;
    for (int i = 0; i < 111; ++i) name += "表";
    WriteSupportFile("[=製品名=]" + name + "&ソフト\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]" + std::string(300, '9') + "\r\n");
    const std::string text = Write();
    const auto d = ByContainer(ParseLines(text));
    EXPECT_EQ(ValueOf(d, "SYSTEM", "PROGRAMNAME"), name);
    EXPECT_EQ(ValueOf(d, "SYSTEM", "PROGRAMVER"), std::string(226, '9'));
    // One byte short of a whole character: the character is left out.
    WriteSupportFile("[=製品名=]A" + name + "ソ\r\n");
    EXPECT_EQ(ValueOf(ByContainer(ParseLines(Write())), "SYSTEM", "PROGRAMNAME"), "A" + name);
    // Every line of the file stays within 255 bytes with its CR LF.
    size_t start = 0;
    for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
        EXPECT_LE(end + 2 - start, 255u);
        start = end + 2;
    }
}

TEST_F(SystemSection, TheFirstFailedLineEndsTheSection)
{
    const std::string full = Write();
    int result = 1;
    EXPECT_EQ(Write(&result, 70), full.substr(0, 70));
    EXPECT_EQ(result, 0);
}

}  // namespace
