// The export run through the built deliverable: the caller hand-shake over
// the caller endpoint, the environment check, the connection's refusals, and
// the messages the user sees, read from the script backend's transcript.
#include "RunHarness.h"

#include "tests/support/TestCaller.h"
#include "win32/Mbcs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using e2e::RunHarness;
using e2e::RunResult;

const uint32_t kCaller = 123456;

// The transcript's form of a message text (a code page 932 literal here):
// UTF-8, quoted, line feeds as \n.
std::string Quoted(const std::string& cp932)
{
    const std::string utf8 = mbcs::Cp932ToUtf8(cp932);
    std::string out = "\"";
    for (char c : utf8) {
        if (c == '\n') out += "\\n";
        else if (c == '"') out += "\\\"";
        else if (c == '\\') out += "\\\\";
        else out += c;
    }
    return out + "\"";
}

const char kT1[] = "動作環境が不正です。\n消費税のOrlanzenが正しくインストールされているか確認してください。";
const char kT2[] =
    "ご利用の連動コンポーネントは、インストールされている消費税のOrlanzenでは使用できません。\n"
    "消費税のOrlanzenの最新版を入手してインストールしてからご利用ください。";
const char kT3[] =
    "ご利用の連動コンポーネントは、インストールされている消費税のOrlanzenでは使用できません。\n"
    "連動コンポーネントの最新版を入手してインストールしてからご利用ください。";
const char kCancelled[] = "｢消費税｣の集計を中止します。";

// The one message box the run showed: its caption, icon and text.
void ExpectOneMessage(const RunResult& r, const std::string& text, const std::string& icon = "exclamation")
{
    ASSERT_EQ(r.messages.size(), 1u) << r.transcript;
    const std::string& line = r.messages[0];
    EXPECT_NE(line.find("caption=" + Quoted("消費税")), std::string::npos) << line;
    EXPECT_NE(line.find("icon=" + icon), std::string::npos) << line;
    EXPECT_NE(line.find("text=" + Quoted(text)), std::string::npos) << line;
}

// What the caller receives over a whole run that recorded it.
std::vector<std::string> Notified(int functionId, int result)
{
    return {"disable", "foreground", "enable",
            "post 1024 " + std::to_string(functionId) + " " + std::to_string(result), "enable"};
}

class ExportRun : public ::testing::Test {
protected:
    void SetUp() override { h.BuildHome({"corp-general", "corp-simplified", "exempt"}, 1); }
    RunHarness h;
};

TEST_F(ExportRun, ProgramLevelChecks)
{
    struct Case {
        const char* name;
        const char* ini;  // null: no definition file
        const char* text;
    };
    const Case cases[] = {
        {"no file", nullptr, kT1},
        {"empty value", "[ProgramLevel]\r\nSY35=\r\n", kT1},
        {"lower", "[ProgramLevel]\r\nSY35=3\r\n", kT2},
        {"no number", "[ProgramLevel]\r\nSY35=abc\r\n", kT2},
        {"higher", "[ProgramLevel]\r\nSY35=5\r\n", kT3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.ini) h.WriteDefinitionFile(c.ini);
        else h.RemoveDefinitionFile();
        h.WriteScript("answer OK\n");
        TestCaller caller(kCaller, 5, 10000);
        ASSERT_TRUE(caller.Ready());
        RunResult r = h.Run({"123456,1024,7,"});
        EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
        ExpectOneMessage(r, c.text);
        EXPECT_EQ(caller.Finish(), Notified(7, 2));
    }
}

TEST_F(ExportRun, MissingKeyPassesTheCheckAndTheRunGoesOn)
{
    h.WriteDefinitionFile("[ProgramLevel]\r\nOTHER=1\r\n");
    h.WriteScript("key ESCAPE\nanswer OK\n");
    TestCaller caller(kCaller, 5, 10000);
    ASSERT_TRUE(caller.Ready());
    RunResult r = h.Run({"123456,1024,7,"});
    EXPECT_EQ(r.exitStatus, 0);
    // The run reaches the conditions dialog; Esc cancels it: result 1.
    ExpectOneMessage(r, kCancelled, "information");
    EXPECT_EQ(caller.Finish(), Notified(7, 1));
}

TEST_F(ExportRun, FunctionIdTravelsSignWidened)
{
    h.WriteScript("key ESCAPE\nanswer OK\n");
    TestCaller caller(kCaller, 5, 10000);
    ASSERT_TRUE(caller.Ready());
    RunResult r = h.Run({"123456,1024,-1,C:\\out\\a,b.xml"});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(caller.Finish(), Notified(-1, 1));

    TestCaller wide(kCaller, 5, 10000);
    ASSERT_TRUE(wide.Ready());
    h.Run({"123456,1024,70000,"});
    EXPECT_EQ(wide.Finish(), Notified(4464, 1));
}

TEST_F(ExportRun, NoCallerCommandLineNotifiesNobody)
{
    h.WriteScript("key ESCAPE\nanswer OK\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"123456,1024"}, std::vector<std::string>{"123456,1024,7"}}) {
        TestCaller caller(kCaller, 1, 1000);
        ASSERT_TRUE(caller.Ready());
        RunResult r = h.Run(args);
        EXPECT_EQ(r.exitStatus, 0);
        ExpectOneMessage(r, kCancelled, "information");
        EXPECT_TRUE(caller.Finish().empty());
        EXPECT_TRUE(r.callerLines.empty()) << r.transcript;
    }
}

TEST_F(ExportRun, HandleOfAShortLineOwnsTheEnvironmentMessage)
{
    h.RemoveDefinitionFile();
    h.WriteScript("answer OK\n");
    TestCaller caller(kCaller, 1, 1000);
    ASSERT_TRUE(caller.Ready());
    RunResult r = h.Run({"123456,1024"});
    ExpectOneMessage(r, kT1);
    ASSERT_FALSE(r.messages.empty());
    EXPECT_NE(r.messages[0].find("owner=foreign:0x0001E240 "), std::string::npos) << r.messages[0];
    EXPECT_TRUE(caller.Finish().empty());  // nobody disabled or notified
}

TEST_F(ExportRun, NoDatasetSelectedEndsWithResult1)
{
    RunHarness fresh;
    fresh.BuildHome({"corp-general"}, 0);
    fresh.WriteScript("answer OK\n");
    TestCaller caller(kCaller, 5, 10000);
    ASSERT_TRUE(caller.Ready());
    RunResult r = fresh.Run({"123456,1024,7,"});
    EXPECT_EQ(r.exitStatus, 0);
    // The suite tells the user; the program adds nothing.
    ASSERT_EQ(r.messages.size(), 1u) << r.transcript;
    EXPECT_EQ(r.transcript.find("open dialog:130"), std::string::npos) << r.transcript;
    EXPECT_EQ(caller.Finish(), Notified(7, 1));
}

TEST_F(ExportRun, FailedConnectionShowsNothingOfTheProgramsAndNotifiesNobody)
{
    RunHarness empty;  // a suite home without a store
    empty.RemoveDefinitionFile();  // would give T1 if the run went that far
    empty.WriteScript("answer OK\n");
    TestCaller caller(kCaller, 1, 1000);
    ASSERT_TRUE(caller.Ready());
    RunResult r = empty.Run({"123456,1024,7,"});
    EXPECT_EQ(r.exitStatus, 0);
    for (const std::string& m : r.messages) {
        EXPECT_EQ(m.find(Quoted(kT1)), std::string::npos) << m;
    }
    EXPECT_EQ(r.transcript.find("open dialog:130"), std::string::npos) << r.transcript;
    EXPECT_TRUE(caller.Finish().empty());
    EXPECT_TRUE(r.callerLines.empty()) << r.transcript;
}

// The line of control `id` in the first listing of the conditions dialog.
std::string ControlLine(const RunResult& r, int id)
{
    const std::string start = "  control " + std::to_string(id) + " ";
    const size_t open = r.transcript.find("open dialog:130");
    if (open == std::string::npos) return "";
    const size_t at = r.transcript.find("\n" + start, open);
    if (at == std::string::npos) return "";
    return r.transcript.substr(at + 1, r.transcript.find('\n', at + 1) - at - 1);
}

bool ShowsText(const RunResult& r, int id, const std::string& cp932)
{
    return ControlLine(r, id).find(" " + Quoted(cp932)) != std::string::npos;
}

bool Checked(const RunResult& r, int id)
{
    // States follow the quoted text: "disabled", "checked" or "unchecked".
    const std::string line = ControlLine(r, id);
    const size_t text = line.rfind('"');
    return text != std::string::npos && line.find(" checked", text) != std::string::npos;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The conditions dialog opens with what the run read: the header texts of
// the dataset and the path the caller fixed.
TEST_F(ExportRun, ConditionsDialogShowsTheDatasetAndTheCallersPath)
{
    h.WriteScript("key ESCAPE\nanswer OK\n");
    TestCaller caller(kCaller, 5, 10000);
    ASSERT_TRUE(caller.Ready());
    RunResult r = h.Run({"123456,1024,7,C:\\out\\a,b.xml"});
    EXPECT_TRUE(ShowsText(r, 1010, " 株式会社サンプル商事")) << r.transcript;
    EXPECT_TRUE(ShowsText(r, 1011, " 2024/04/01～2025/03/31")) << r.transcript;
    EXPECT_TRUE(ShowsText(r, 1012, " 原則課税")) << r.transcript;
    EXPECT_TRUE(ShowsText(r, 1003, "課税仕入控除")) << r.transcript;
    EXPECT_TRUE(ShowsText(r, 1013, " 個別対応方式")) << r.transcript;
    EXPECT_TRUE(ShowsText(r, 1008, "C:\\out\\a,b.xml")) << r.transcript;
    EXPECT_EQ(caller.Finish(), Notified(7, 1));

    // Without a caller the path is the default one, not the line's.
    RunResult own = h.Run({"1,2"});
    EXPECT_FALSE(ShowsText(own, 1008, "C:\\out\\a,b.xml")) << own.transcript;
    EXPECT_TRUE(ShowsText(own, 1010, " 株式会社サンプル商事")) << own.transcript;
}

// The saved return's choices are handed to the dialog even when the saved
// values belong to another period and cannot be exported.
TEST_F(ExportRun, SavedChoicesReachTheDialogEvenWhenTheSavedValuesDoNotServe)
{
    h.WriteScript("key ESCAPE\nanswer OK\n");
    RunResult plain = h.Run({});
    EXPECT_TRUE(Checked(plain, 1035)) << plain.transcript;  // sales 割り戻し as saved
    EXPECT_FALSE(Checked(plain, 1039)) << plain.transcript;

    h.ExecSql("INSERT INTO saved_tax_fields VALUES (1, 9, 4, 20230401);"   // another fiscal year
              "INSERT INTO saved_tax_fields VALUES (1, 13, 4, 20240331);"
              "INSERT INTO saved_tax_fields VALUES (1, 6, 1, 1);"          // sales 積み上げ
              "INSERT INTO saved_tax_fields VALUES (1, 17344, 1, 1);");    // 「2割特例」
    RunResult r = h.Run({});
    EXPECT_TRUE(Checked(r, 1034)) << r.transcript;
    EXPECT_FALSE(Checked(r, 1035)) << r.transcript;
    EXPECT_TRUE(Checked(r, 1039)) << r.transcript;
    // The saved-values mode is not offered.
    EXPECT_TRUE(Checked(r, 1029)) << r.transcript;
    EXPECT_NE(ControlLine(r, 1031).find(" disabled"), std::string::npos) << r.transcript;
}

// In the saved-values mode the months are the saved return's taxable period;
// a completed run remembers them with the other conditions, and the path only
// when no caller fixed it. The caller learns of the completion with result 0.
TEST_F(ExportRun, CompletedRunRemembersTheConditionsAndNotifiesResult0)
{
    h.ExecSql("INSERT INTO saved_tax_fields VALUES (1, 29, 4, 20241001);"
              "INSERT INTO saved_tax_fields VALUES (1, 33, 4, 20250331);");
    const std::string settings = h.HomeDir() + "/drive_c/Zelkor/Settings/Zelkora.env";

    h.WriteScript("click 1031\ntype 1008 C:\\own.xml\nkey F12\nanswer OK\n");
    RunResult own = h.Run({});
    ASSERT_EQ(own.messages.size(), 1u) << own.transcript;
    const std::string line = ReadFile(settings);
    EXPECT_NE(line.find(":1/10/3/0/1/0/C:\\own.xml\n"), std::string::npos) << line;

    h.WriteScript("click 1031\nkey F12\nanswer OK\n");
    TestCaller caller(kCaller, 5, 10000);
    ASSERT_TRUE(caller.Ready());
    RunResult called = h.Run({"123456,1024,7,C:\\called.xml"});
    ASSERT_EQ(called.messages.size(), 1u) << called.transcript;
    EXPECT_EQ(caller.Finish(), Notified(7, 0));
    EXPECT_TRUE(fs::exists(h.HomeDir() + "/drive_c/called.xml"));
    // The caller's path is not remembered: the user's own stays.
    EXPECT_EQ(ReadFile(settings), line);
}

TEST(ExportRunEditions, EveryDeliverableChecksItsProgramLevel)
{
    for (const char* edition : {"Zelkora", "Zelkorb", "Zelkorc", "Zelkord"}) {
        SCOPED_TRACE(edition);
        RunHarness h(edition);
        h.BuildHome({"corp-general"}, 1);
        h.WriteDefinitionFile("[ProgramLevel]\r\nSY35=5\r\n");
        h.WriteScript("answer OK\n");
        TestCaller caller(kCaller, 5, 10000);
        ASSERT_TRUE(caller.Ready());
        RunResult r = h.Run({"123456,1024,3,"});
        ExpectOneMessage(r, kT3);
        EXPECT_EQ(caller.Finish(), Notified(3, 2));
    }
}

}  // namespace
