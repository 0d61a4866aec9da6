// The whole link file of each mode and the continue-or-stop questions after a
// failed section, answered through the script backend.
#include "ReportTestSupport.h"

#include "tests/support/ScriptRun.h"
#include "suite/SuiteStore.h"
#include "tests/suite/SuiteTestHome.h"
#include "win32/Mbcs.h"

namespace {

using namespace reporttest;

// The questions whole, as the transcript quotes them (line feeds as \n).
const char kM4[] = "text=\"システム情報の出力に失敗しました。\\n\\n出力を続けますか？\"";
const char kM5[] = "text=\"基本情報の出力に失敗しました。\\n\\n出力を続けますか？\"";
const char kM6[] = "text=\"連動情報の出力に失敗しました。\\n\\n出力を続けますか？\"";
const char kIncomplete[] = "icon=exclamation buttons=OK text=\"出力ファイルへの書き込みに失敗したため、";

class SavedValuesReport : public ::testing::Test {
protected:
    SavedValuesReport() : dir(NewHostDir("drv")), out(dir / "out.xml")
    {
        data.byOrgKind = 0;
        std::strcpy(data.szCompanyName, "Zelkor");
        b.app.m_nKazeiKubun = 2;
        b.app.m_nHasuMode = 1;
        b.Save(12611, 1230000);   // KAZEIURIAGEZEINUKI10: 123 yen
    }
    ~SavedValuesReport() override { fs::remove_all(dir); }

    // Runs the export with the script's answers; returns the transcript in
    // code page 932.
    std::string Run(const std::string& script, const std::string& path, int* pResult)
    {
        ScriptRun run(script);
        *pResult = b.app.OutputSaveInfoReport(nullptr, path.c_str(), &data, 0, 1, 1);
        return mbcs::Utf8ToCp932(run.Transcript());
    }

    fs::path dir;
    fs::path out;
    AppWithBuffers b;
    StDATAINFO data{};
};

TEST_F(SavedValuesReport, ACompleteFileInItsOrder)
{
    int result = 0;
    const std::string transcript = Run("", Win(out), &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(b.app.m_nResultCode, 0);
    EXPECT_EQ(Count(transcript, "message "), 0);
    const std::string text = ReadAll(out);
    ASSERT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<REPORT>\r\n\t<SYSTEM>\r\n", 0), 0u);
    const size_t basic = text.find("\t<BASIC>\r\n");
    const size_t data = text.find("\t<DATA>\r\n");
    ASSERT_NE(basic, std::string::npos);
    ASSERT_NE(data, std::string::npos);
    EXPECT_LT(text.find("\t</SYSTEM>\r\n"), basic);
    EXPECT_LT(text.find("\t</BASIC>\r\n"), data);
    EXPECT_NE(text.find("<KAZEIURIAGEZEINUKI10_TSUMIAGE>123</"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 21), "\t</DATA>\r\n</REPORT>\r\n");
}

TEST_F(SavedValuesReport, AFileThatCannotBeWrittenAndTheAnswerNo)
{
    int result = 1;
    const std::string transcript = Run("answer NO\n", "Z:\\dev\\full", &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(b.app.m_nResultCode, RESULT_ERROR);
    EXPECT_EQ(Count(transcript, kM4), 1);
    EXPECT_EQ(Count(transcript, kM5), 0);
    EXPECT_EQ(Count(transcript, kM6), 0);
    EXPECT_NE(transcript.find("caption=\"消費税\" icon=exclamation buttons=YES,NO"), std::string::npos) << transcript;
}

// Going on past a failed write cannot finish the file: after the three
// questions the user is told, and the run does not end as exported.
TEST_F(SavedValuesReport, GoingOnPastAFailedWriteNeverEndsAsAnExport)
{
    int result = 1;
    const std::string transcript = Run("answer YES\nanswer YES\nanswer YES\nanswer OK\n", "Z:\\dev\\full", &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(b.app.m_nResultCode, RESULT_ERROR);
    EXPECT_LT(transcript.find(kM4), transcript.find(kM5));
    EXPECT_LT(transcript.find(kM5), transcript.find(kM6));
    EXPECT_LT(transcript.find(kM6), transcript.find(kIncomplete));
    EXPECT_EQ(Count(transcript, "message "), 4);
}

TEST_F(SavedValuesReport, DataFailingHalfWayKeepsWhatWasWritten)
{
    int result = 0;
    Run("", Win(out), &result);
    const std::string full = ReadAll(out);
    const size_t cut = full.find("\t<DATA>\r\n") + 5000;
    std::string transcript;
    {
        FileSizeLimit limit(cut);
        transcript = Run("answer NO\n", Win(out), &result);
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(b.app.m_nResultCode, RESULT_ERROR);
    EXPECT_EQ(Count(transcript, kM6), 1);
    EXPECT_EQ(Count(transcript, kM4) + Count(transcript, kM5), 0);
    // The failed writer wrote nothing more, not even the end of REPORT.
    EXPECT_EQ(ReadAll(out), full.substr(0, cut));
}

TEST_F(SavedValuesReport, AnUnfinishedEndOfReportIsNeverSilent)
{
    int result = 0;
    Run("", Win(out), &result);
    const std::string full = ReadAll(out);
    const size_t cut = full.size() - std::strlen("</REPORT>\r\n");
    std::string transcript;
    {
        FileSizeLimit limit(cut);
        transcript = Run("answer NO\n", Win(out), &result);
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(b.app.m_nResultCode, RESULT_ERROR);
    EXPECT_EQ(Count(transcript, kM6), 1);
    EXPECT_EQ(ReadAll(out), full.substr(0, cut));

    // Answered Yes, the file is still unfinished: the user is told and the
    // run does not end as exported.
    b.app.m_nResultCode = 0;
    {
        FileSizeLimit limit(cut);
        transcript = Run("answer YES\nanswer OK\n", Win(out), &result);
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(b.app.m_nResultCode, RESULT_ERROR);
    EXPECT_EQ(Count(transcript, kIncomplete), 1);
}

TEST_F(SavedValuesReport, AnAmountBeyondTheRangeLeavesByTheAmountTypesRefusal)
{
    b.Save(12611 + 32, LLONG_MAX);   // securities, multiplied by 20
    int result = 0;
    ScriptRun run("");
    EXPECT_THROW(b.app.OutputSaveInfoReport(nullptr, Win(out).c_str(), &data, 0, 1, 1), int);
    // The file was closed on the way out: it can be opened for writing again.
    CFile file;
    EXPECT_TRUE(file.Open(Win(out).c_str(), CFile::modeWrite | CFile::shareExclusive));
    (void)result;
}

class ShiwakeReport : public suitetest::ConnectedSuite {
protected:
    void SetUp() override { Connect(1); }
};

TEST_F(ShiwakeReport, TheAggregationModeWritesTheSameSkeletonAndAsksTheSameQuestions)
{
    AppWithBuffers b;
    b.app.m_nKazeiKubun = 2;
    b.app.m_nHasuMode = 1;
    PutRaw(b.Rate(1, 0), 13, 4560000);
    StDATAINFO data{};
    StSHOHIZEIINFO settings{};
    const fs::path dir = NewHostDir("agg");
    const fs::path out = dir / "out.xml";
    {
        ScriptRun run("");
        EXPECT_EQ(b.app.OutputShiwakeReport(nullptr, Win(out).c_str(), &data, &settings, 0, 1, 1), 1);
    }
    const std::string text = ReadAll(out);
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<REPORT>\r\n\t<SYSTEM>\r\n", 0), 0u);
    EXPECT_NE(text.find("<KAZEIURIAGEZEINUKI10_TSUMIAGE>456</"), std::string::npos);
    EXPECT_NE(text.find("<JIGYOKOTEISHISAN1></JIGYOKOTEISHISAN1>"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 21), "\t</DATA>\r\n</REPORT>\r\n");

    std::string transcript;
    int result = 1;
    {
        ScriptRun run("answer NO\n");
        result = b.app.OutputShiwakeReport(nullptr, "Z:\\dev\\full", &data, &settings, 0, 1, 1);
        transcript = mbcs::Utf8ToCp932(run.Transcript());
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(b.app.m_nResultCode, RESULT_ERROR);
    EXPECT_EQ(Count(transcript, kM4), 1);
    fs::remove_all(dir);
}

// A section that fails while the writer still writes (DATA refuses a rate
// count other than five) leaves a file that is whole apart from that
// section: going on ends as an export, as the user chose.
TEST_F(ShiwakeReport, GoingOnPastASectionThatFailedWithoutAFailedWriteEndsAsAnExport)
{
    ASSERT_EQ(suite::SuiteStore::Current()->Exec("UPDATE tax_settings SET tax_rate_count = 4"), SUITE_OK);
    AppWithBuffers b;
    StDATAINFO data{};
    StSHOHIZEIINFO settings{};
    const fs::path dir = NewHostDir("agg");
    const fs::path out = dir / "out.xml";
    std::string transcript;
    int result = 0;
    {
        ScriptRun run("answer YES\n");
        result = b.app.OutputShiwakeReport(nullptr, Win(out).c_str(), &data, &settings, 0, 1, 1);
        transcript = mbcs::Utf8ToCp932(run.Transcript());
    }
    EXPECT_EQ(result, 1);
    EXPECT_EQ(b.app.m_nResultCode, 0);
    EXPECT_EQ(Count(transcript, kM6), 1);
    EXPECT_EQ(Count(transcript, kIncomplete), 0);
    const std::string text = ReadAll(out);
    EXPECT_EQ(text.substr(text.size() - 20), "\t<DATA>\r\n</REPORT>\r\n");
    fs::remove_all(dir);
}

}  // namespace
