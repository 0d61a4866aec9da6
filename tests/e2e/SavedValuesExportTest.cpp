// A whole export of the saved values through the built deliverable: the file
// is well-formed Shift_JIS XML and carries the sample's saved amounts.
#include "RunChecks.h"
#include "RunHarness.h"

#include "win32/Mbcs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

TEST(SavedValuesExport, CorporationUnderGeneralTaxation)
{
    e2e::RunHarness harness("Zelkora");
    harness.BuildHome({"corp-general"}, 1);
    // Mode 1 (the saved values), an output path on C:, 実行, and OK to the
    // closing message.
    harness.WriteScript("click 1031\ntype 1008 C:\\shohizei.xml\nkey F12\nanswer OK\n");
    const e2e::RunResult r = harness.Run({});
    EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
    ASSERT_EQ(r.messages.size(), 1u) << r.transcript;
    EXPECT_NE(r.messages[0].find(mbcs::Cp932ToUtf8("消費税情報の出力が終了しました。")), std::string::npos);

    const std::string path = harness.HomeDir() + "/drive_c/shohizei.xml";
    const std::string text = e2e::ReadFile(path);
    ASSERT_FALSE(text.empty()) << r.transcript;
    EXPECT_EQ(std::system(("xmllint --noout --encode Shift_JIS '" + path + "' 2>/dev/null").c_str()), 0);

    // 原則課税, sales 割り戻し, purchases 積み上げ, as saved.
    EXPECT_NE(text.find("\t\t\t<KAZEIURIAGEZEINUKI10_WARIMODOSHI>120000000</KAZEIURIAGEZEINUKI10_WARIMODOSHI>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\t\t\t<KAZEIURIAGEZEINUKI10_TSUMIAGE></KAZEIURIAGEZEINUKI10_TSUMIAGE>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("<SHIIREKAZEIZEINUKI10_TSUMIAGE>70000000</"), std::string::npos);
    EXPECT_NE(text.find("<TOKUTEISHIIREKAZEIZEINUKI10>2000000</"), std::string::npos);
    EXPECT_NE(text.find("<KAZEIURIAGEZEINUKI8K_WARIMODOSHI>8000000</"), std::string::npos);
    EXPECT_NE(text.find("<KAZEIKUBUN>1</KAZEIKUBUN>"), std::string::npos);
    EXPECT_NE(text.find("<PROGRAMNAME>Varnel２２</PROGRAMNAME>"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 21), "\t</DATA>\r\n</REPORT>\r\n");
}

}  // namespace
