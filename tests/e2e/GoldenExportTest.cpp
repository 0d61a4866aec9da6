// Whole exports through the built deliverables on the sample stores, in both
// modes: the file against its reviewed golden file (tests/e2e/golden, see the
// README there for how each was checked against its dataset), the caller's
// notification, the remembered conditions and the road the transcript shows;
// then a second start, whose conditions dialog must open with what the first
// one remembered.
#include "RunChecks.h"
#include "RunHarness.h"

#include "win32/Mbcs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace e2e;

struct Export {
    const char* golden;    // file in tests/e2e/golden
    const char* edition;
    const char* sample;
    bool saved;            // the saved-values mode
    const char* choices;   // script lines for the dialog besides the mode and the path
    int functionId;        // 0: started without a caller
    const char* remembered;  // the settings line the run leaves
    const char* sql = nullptr;  // added to the sample's store
};

std::string Describe(const Export& e)
{
    return std::string(e.edition) + " " + e.sample + (e.saved ? " saved values" : " aggregation") +
           (e.functionId ? " called with function id " + std::to_string(e.functionId) : "");
}

void PrintTo(const Export& e, std::ostream* os) { *os << Describe(e); }

class GoldenExport : public ::testing::TestWithParam<Export> {};

TEST_P(GoldenExport, FileCallerSettingsAndTranscript)
{
    const Export& e = GetParam();
    SCOPED_TRACE(Describe(e));
    const std::string golden = GoldenFile(e.golden);
    EXPECT_FALSE(golden.empty()) << "missing golden file " << e.golden;

    RunHarness h(e.edition);
    h.BuildHome({e.sample}, 0);
    h.ExecSql("UPDATE selection SET data_no = (SELECT min(data_no) FROM datasets)");
    if (e.sql) h.ExecSql(e.sql);
    const std::string windowsPath = std::string("C:\\") + e.golden;

    std::string script = e.saved ? "click 1031\n" : "";
    script += e.choices;
    if (e.functionId == 0) script += "type 1008 " + windowsPath + "\n";
    script += "key F12\nanswer OK\n";
    h.WriteScript(script);

    std::vector<std::string> args;
    if (e.functionId != 0) args.push_back("123456,1024," + std::to_string(e.functionId) + "," + windowsPath);
    // Without a caller the transcript shows that no caller was told anything.
    const CalledRun run = e.functionId != 0 ? RunCalled(h, args) : CalledRun{h.Run(args), {}};
    const RunResult& r = run.r;
    EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
    EXPECT_EQ(r.transcript.find("no-action"), std::string::npos) << r.transcript;
    EXPECT_EQ(r.transcript.find("unused-actions"), std::string::npos) << r.transcript;

    // The file, byte for byte.
    const std::string file = ReadFile(h.DriveC(e.golden));
    const std::string want = AsExportedBy(golden, e.edition, e.functionId ? e.functionId : 1);
    if (file != want) {
        const std::string keep = std::string(ZK_BINARY_DIR) + "/golden-actual";
        fs::create_directories(keep);
        std::ofstream(keep + "/" + e.golden, std::ios::binary) << file;
        ADD_FAILURE() << "the export differs from " << e.golden << " (kept in " << keep << ") at "
                      << FirstDifference(want, file);
    }

    // The caller learns of the completion with result 0.
    if (e.functionId != 0) {
        EXPECT_EQ(run.caller, Notified(e.functionId, 0));
    }

    // The road: the conditions dialog ended with 実行; only the aggregation
    // shows the progress dialog and the wait cursor; the closing message is
    // owned by the progress dialog's window.
    std::vector<std::string> road = {"open dialog:130 modal caption " + Quoted("消費税 - 集計条件")};
    road.push_back("end dialog:130 result=1005");
    if (!e.saved) {
        road.push_back("open dialog:131 modeless caption " + Quoted("集計中"));
        road.push_back("wait-cursor on");
        road.push_back("hide dialog:131");
        road.push_back("wait-cursor off");
    }
    road.push_back(MessageLine("dialog:131", "information", "OK", kCompleted, "OK"));
    if (e.functionId) road = CalledRoad(road, e.functionId, 0);
    EXPECT_EQ(Road(r.transcript), road) << r.transcript;

    // The remembered conditions: one line for this user and dataset.
    EXPECT_EQ(ReadFile(SettingsFile(h, e.edition)), e.remembered);

    // A second start opens the conditions dialog with what was remembered.
    h.WriteScript("key ESCAPE\nanswer OK\n");
    const RunResult again = h.Run({});
    const std::string& t = again.transcript;
    auto checked = [&](int id) { return Checked(t, id); };
    EXPECT_EQ(checked(1031), e.saved) << t;
    EXPECT_EQ(checked(1029), !e.saved) << t;
    // Line: key:mode/start/end/sales/purchase/niwari/path.
    const std::string line = e.remembered;
    std::vector<std::string> fields;
    std::istringstream in(line.substr(line.find(':') + 1));
    for (std::string f; fields.size() < 6 && std::getline(in, f, '/');) fields.push_back(f);
    std::string path;
    std::getline(in, path);
    ASSERT_EQ(fields.size(), 6u) << line;
    EXPECT_NE(ControlLine(t, 1014).find(" \"" + fields[1] + "\""), std::string::npos) << t;
    EXPECT_NE(ControlLine(t, 1016).find(" \"" + fields[2] + "\""), std::string::npos) << t;
    EXPECT_EQ(checked(1034), fields[3] == "1") << t;
    EXPECT_EQ(checked(1035), fields[3] != "1") << t;
    // Under 簡易課税 the purchase choice is not in use: neither button.
    const bool simplified = std::string(e.sample) == "corp-simplified";
    EXPECT_EQ(checked(1037), !simplified && fields[4] == "1") << t;
    EXPECT_EQ(checked(1038), !simplified && fields[4] == "0") << t;
    if (!path.empty()) {
        EXPECT_NE(ControlLine(t, 1008).find(" " + Quoted(path)), std::string::npos) << t;
    }
}

// Every golden file is one of these runs exactly (the others differ from it in
// the product name and the function id only); the README of tests/e2e/golden
// lists which.
const Export kExports[] = {
    // The corporation under 原則課税: every deliverable in both modes.
    {"corp-general-aggregation.xml", "Zelkora", "corp-general", false, "", 0,
     "admin/{5A4B0001000000000000000000000001}:0/4/3/0/1/0/C:\\corp-general-aggregation.xml\n"},
    {"corp-general-aggregation.xml", "Zelkorb", "corp-general", false, "", 21,
     "admin/1/{5A4B0001000000000000000000000001}:0/4/3/0/1/0/\n"},
    {"corp-general-aggregation.xml", "Zelkorc", "corp-general", false, "", 0,
     "admin/{5A4B0001000000000000000000000001}:0/4/3/0/1/0/C:\\corp-general-aggregation.xml\n"},
    {"corp-general-aggregation.xml", "Zelkord", "corp-general", false, "", -3,
     "admin/{5A4B0001000000000000000000000001}:0/4/3/0/1/0/\n"},
    {"corp-general-saved.xml", "Zelkora", "corp-general", true, "", 0,
     "admin/{5A4B0001000000000000000000000001}:1/4/3/0/1/0/C:\\corp-general-saved.xml\n"},
    {"corp-general-saved.xml", "Zelkorb", "corp-general", true, "", 12,
     "admin/1/{5A4B0001000000000000000000000001}:1/4/3/0/1/0/\n"},
    {"corp-general-saved.xml", "Zelkorc", "corp-general", true, "", 0,
     "admin/{5A4B0001000000000000000000000001}:1/4/3/0/1/0/C:\\corp-general-saved.xml\n"},
    {"corp-general-saved.xml", "Zelkord", "corp-general", true, "", 0,
     "admin/{5A4B0001000000000000000000000001}:1/4/3/0/1/0/C:\\corp-general-saved.xml\n"},
    // The corporation under 簡易課税, sales 積み上げ chosen against the saved 割り戻し.
    {"corp-simplified-aggregation.xml", "Zelkorc", "corp-simplified", false, "click 1034\n", 0,
     "admin/{5A4B0002000000000000000000000002}:0/1/12/1/2/0/C:\\corp-simplified-aggregation.xml\n"},
    {"corp-simplified-saved.xml", "Zelkord", "corp-simplified", true, "", 0,
     "admin/{5A4B0002000000000000000000000002}:1/1/12/0/0/0/C:\\corp-simplified-saved.xml\n"},
    // The same with amounts in fractions of a yen (rounding mode 0 rounds up
    // from .4445): a sale of business kind 1 of 1,000.4444 yen (tax 100.0444),
    // a sale without a kind of 0.0001 yen, purchases without a qualified
    // invoice of 100.4445 (tax 10.0444) at 80 % and 50.4445 (tax 5.0444) at 50 %.
    {"corp-simplified-fractions-aggregation.xml", "Zelkorb", "corp-simplified", false, "click 1034\n", 0,
     "admin/1/{5A4B0002000000000000000000000002}:0/1/12/1/2/0/C:\\corp-simplified-fractions-aggregation.xml\n",
     "INSERT INTO journal (data_no, entry_date, month_kind, dr_account, dr_amount, dr_tax, dr_tax_code, dr_rate,"
     " dr_invoice, cr_account, cr_amount, cr_tax, cr_tax_code, cr_rate, cr_business) VALUES"
     " (2, 20240310, 3, 1310, 11004888, 0, 0, 0, 0, 4110, 10004444, 1000444, 21, 1000, 1),"
     " (2, 20240311, 3, 1310, 1, 0, 0, 0, 0, 4110, 1, 0, 21, 1000, 0),"
     " (2, 20240312, 3, 5110, 1004445, 100444, 1, 1000, 1, 2110, 1104889, 0, 0, 0, 0),"
     " (2, 20240313, 3, 5110, 504445, 50444, 1, 1000, 2, 2110, 554889, 0, 0, 0, 0);"},
    // The individual, who saved nothing: the aggregation only.
    {"indiv-general-aggregation.xml", "Zelkora", "indiv-general", false, "", 300,
     "admin/{5A4B0003000000000000000000000003}:0/1/12/0/0/0/\n"},
    {"indiv-general-aggregation.xml", "Zelkorb", "indiv-general", false, "", 0,
     "admin/1/{5A4B0003000000000000000000000003}:0/1/12/0/0/0/C:\\indiv-general-aggregation.xml\n"},
};

INSTANTIATE_TEST_SUITE_P(Samples, GoldenExport, ::testing::ValuesIn(kExports));

// The golden files themselves: Shift_JIS as exported, CR LF on every line,
// well-formed for a validating parser that decodes Shift_JIS.
TEST(GoldenFiles, AreWellFormedShiftJisWithCrLf)
{
    const char* source = std::getenv("ZK_SOURCE_DIR");
    const std::string dir = std::string(source ? source : ZK_SOURCE_DIR) + "/tests/e2e/golden";
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".xml") continue;
        ++files;
        SCOPED_TRACE(entry.path().filename().string());
        const std::string text = ReadFile(entry.path().string());
        EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n", 0), 0u);
        size_t bare = 0;
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) ++bare;
        EXPECT_EQ(bare, 0u);
        EXPECT_EQ(text.substr(text.size() - 11), "</REPORT>\r\n");
        // Shift_JIS that decodes: the conversion to UTF-8 and back is exact.
        EXPECT_EQ(mbcs::Utf8ToCp932(mbcs::Cp932ToUtf8(text)), text);
        const std::string lint =
            "xmllint --noout --encode Shift_JIS '" + entry.path().string() + "' >/dev/null 2>&1";
        EXPECT_EQ(std::system(lint.c_str()), 0) << lint;
    }
    EXPECT_EQ(files, 6);
}

// Datasets that cannot be exported: the conditions dialog refuses them before
// anything is written, with result 1 for the caller.
TEST(GoldenExportRefusals, ExemptAndPastResultsDatasetsAreRefusedByTheDialog)
{
    struct Case {
        const char* sample;
        const char* text;
    };
    const Case cases[] = {
        {"exempt", "消費税申告区分が免税のデータは、連携の対象として使用できません。\n\nアプリケーションを終了します。"},
        {"past-results", "過去実績データは、連携の対象として使用できません。\n\nアプリケーションを終了します。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sample);
        RunHarness h("Zelkora");
        h.BuildHome({c.sample}, 0);
        h.ExecSql("UPDATE selection SET data_no = (SELECT min(data_no) FROM datasets)");
        h.WriteScript("answer OK\n");
        const CalledRun run = RunCalled(h, {"123456,1024,9,C:\\refused.xml"});
        const RunResult& r = run.r;
        EXPECT_EQ(run.caller, Notified(9, 1));
        EXPECT_EQ(Road(r.transcript),
                  CalledRoad({MessageLine("dialog:130", "exclamation", "OK", c.text, "OK"), "end dialog:130 result=1006"},
                             9, 1))
            << r.transcript;
        EXPECT_FALSE(fs::exists(h.DriveC("refused.xml")));
        EXPECT_FALSE(fs::exists(SettingsFile(h)));
    }
}

}  // namespace
