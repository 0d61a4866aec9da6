// The export run through the built deliverable: the caller hand-shake over
// the caller endpoint, the environment check, the connection's refusals, and
// the messages the user sees, read from the script backend's transcript.
#include "RunChecks.h"
#include "RunHarness.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace e2e;

const char kT1[] = "動作環境が不正です。\n消費税のOrlanzenが正しくインストールされているか確認してください。";
const char kT2[] =
    "ご利用の連動コンポーネントは、インストールされている消費税のOrlanzenでは使用できません。\n"
    "消費税のOrlanzenの最新版を入手してインストールしてからご利用ください。";
const char kT3[] =
    "ご利用の連動コンポーネントは、インストールされている消費税のOrlanzenでは使用できません。\n"
    "連動コンポーネントの最新版を入手してインストールしてからご利用ください。";

// The one message box the run showed: its caption, icon and text.
void ExpectOneMessage(const RunResult& r, const std::string& text, const std::string& icon = "exclamation")
{
    ASSERT_EQ(r.messages.size(), 1u) << r.transcript;
    const std::string& line = r.messages[0];
    EXPECT_NE(line.find("caption=" + Quoted("消費税")), std::string::npos) << line;
    EXPECT_NE(line.find("icon=" + icon), std::string::npos) << line;
    EXPECT_NE(line.find("text=" + Quoted(text)), std::string::npos) << line;
}

class ExportRun : public ::testing::Test {
protected:
    void SetUp() override { h.BuildHome({"corp-general", "corp-simplified", "exempt"}, 1); }
    RunHarness h;
};

// A drive map without the program's folder (Z: removed): the program has no
// Windows path and cannot find its neighbour file; standard error blames the
// map, naming the folder and the map as configured.
TEST_F(ExportRun, AProgramFolderOutsideTheDriveMapIsBlamedOnTheMap)
{
    h.SetExtraEnvironment({"ZELKOR_DRIVES=Z="});
    h.WriteScript("answer OK\n");
    const CalledRun run = RunCalled(h);
    ExpectOneMessage(run.r, kT1);
    EXPECT_EQ(run.caller, Notified(7, 2));
    EXPECT_NE(run.r.stderrText.find("zelkor: the program's folder " + h.ProgramDir() +
                                    "/ lies on no drive of the drive map (ZELKOR_DRIVES or DRIVES= in zelkor.conf: "
                                    "\"Z=\"; "),
              std::string::npos)
        << run.r.stderrText;
}

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
        // Past the int range the value saturates: 2^32 + 4 is no 4, and a
        // number beyond 64 bits is no lower level.
        {"wrapping to 4", "[ProgramLevel]\r\nSY35=4294967300\r\n", kT3},
        {"beyond 64 bits", "[ProgramLevel]\r\nSY35=99999999999999999999\r\n", kT3},
        {"below the int range", "[ProgramLevel]\r\nSY35=-4294967292\r\n", kT2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.ini) h.WriteDefinitionFile(c.ini);
        else h.RemoveDefinitionFile();
        h.WriteScript("answer OK\n");
        const CalledRun run = RunCalled(h);
        EXPECT_EQ(run.r.exitStatus, 0) << run.r.stderrText;
        ExpectOneMessage(run.r, c.text);
        EXPECT_EQ(run.caller, Notified(7, 2));
    }
}

// The fixed texts name no file: standard error says which file was meant,
// where it was looked for and what it held.
TEST_F(ExportRun, ProgramLevelMessagesNameTheFileOnStandardError)
{
    std::string windowsDir = "Z:" + h.ProgramDir();
    std::replace(windowsDir.begin(), windowsDir.end(), '/', '\\');
    const std::string where = "\"OrlanzenDef.ini\" was looked for in the program's folder: " + windowsDir +
                              "\\OrlanzenDef.ini (host path " + h.ProgramDir() + "/OrlanzenDef.ini); ";
    h.WriteScript("answer OK\n");
    h.RemoveDefinitionFile();
    CalledRun run = RunCalled(h);
    ExpectOneMessage(run.r, kT1);
    EXPECT_NE(run.r.stderrText.find(where + "it does not exist\n"), std::string::npos) << run.r.stderrText;

    h.WriteDefinitionFile("[ProgramLevel]\r\nSY35=5\r\n");
    run = RunCalled(h);
    ExpectOneMessage(run.r, kT3);
    EXPECT_NE(run.r.stderrText.find(where + "[ProgramLevel] SY35 reads \"5\" (this program needs 4)\n"),
              std::string::npos)
        << run.r.stderrText;

    // A check that passes says nothing of the file.
    h.WriteDefinitionFile("[ProgramLevel]\r\nSY35=4\r\n");
    h.WriteScript("key ESCAPE\nanswer OK\n");
    run = RunCalled(h);
    EXPECT_EQ(run.r.stderrText.find("OrlanzenDef.ini"), std::string::npos) << run.r.stderrText;
}

TEST_F(ExportRun, MissingKeyPassesTheCheckAndTheRunGoesOn)
{
    h.WriteDefinitionFile("[ProgramLevel]\r\nOTHER=1\r\n");
    h.WriteScript("key ESCAPE\nanswer OK\n");
    const CalledRun c = RunCalled(h);
    EXPECT_EQ(c.r.exitStatus, 0);
    // The run reaches the conditions dialog; Esc cancels it: result 1.
    ExpectOneMessage(c.r, kCancelled, "information");
    EXPECT_EQ(c.caller, Notified(7, 1));
}

TEST_F(ExportRun, FunctionIdTravelsSignWidened)
{
    h.WriteScript("key ESCAPE\nanswer OK\n");
    const CalledRun c = RunCalled(h, {"123456,1024,-1,C:\\out\\a,b.xml"});
    EXPECT_EQ(c.r.exitStatus, 0);
    EXPECT_EQ(c.caller, Notified(-1, 1));
    EXPECT_EQ(RunCalled(h, {"123456,1024,70000,"}).caller, Notified(4464, 1));
}

TEST_F(ExportRun, NoCallerCommandLineNotifiesNobody)
{
    h.WriteScript("key ESCAPE\nanswer OK\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"123456,1024"}, std::vector<std::string>{"123456,1024,7"}}) {
        const CalledRun c = RunCalled(h, args, 0);
        EXPECT_EQ(c.r.exitStatus, 0);
        ExpectOneMessage(c.r, kCancelled, "information");
        EXPECT_TRUE(c.caller.empty());
        EXPECT_TRUE(c.r.callerLines.empty()) << c.r.transcript;
    }
}

TEST_F(ExportRun, HandleOfAShortLineOwnsTheEnvironmentMessage)
{
    h.RemoveDefinitionFile();
    h.WriteScript("answer OK\n");
    const CalledRun c = RunCalled(h, {"123456,1024"}, 0);
    ExpectOneMessage(c.r, kT1);
    ASSERT_FALSE(c.r.messages.empty());
    EXPECT_NE(c.r.messages[0].find("owner=foreign:0x0001E240 "), std::string::npos) << c.r.messages[0];
    EXPECT_TRUE(c.caller.empty());  // nobody disabled or notified
}

TEST_F(ExportRun, NoDatasetSelectedEndsWithResult1)
{
    RunHarness fresh;
    fresh.BuildHome({"corp-general"}, 0);
    fresh.WriteScript("answer OK\n");
    const CalledRun c = RunCalled(fresh);
    EXPECT_EQ(c.r.exitStatus, 0);
    // The suite tells the user; the program adds nothing.
    ASSERT_EQ(c.r.messages.size(), 1u) << c.r.transcript;
    EXPECT_EQ(c.r.transcript.find("open dialog:130"), std::string::npos) << c.r.transcript;
    EXPECT_EQ(c.caller, Notified(7, 1));
}

TEST_F(ExportRun, FailedConnectionShowsNothingOfTheProgramsAndNotifiesNobody)
{
    RunHarness empty;  // a suite home without a store
    empty.RemoveDefinitionFile();  // would give T1 if the run went that far
    empty.WriteScript("answer OK\n");
    const CalledRun c = RunCalled(empty, {"123456,1024,7,"}, 0);
    EXPECT_EQ(c.r.exitStatus, 0);
    for (const std::string& m : c.r.messages) {
        EXPECT_EQ(m.find(Quoted(kT1)), std::string::npos) << m;
    }
    EXPECT_EQ(c.r.transcript.find("open dialog:130"), std::string::npos) << c.r.transcript;
    EXPECT_TRUE(c.caller.empty());
    EXPECT_TRUE(c.r.callerLines.empty()) << c.r.transcript;
}

bool ShowsText(const RunResult& r, int id, const std::string& cp932)
{
    return ControlLine(r.transcript, id).find(" " + Quoted(cp932)) != std::string::npos;
}

// The conditions dialog opens with what the run read: the header texts of
// the dataset and the path the caller fixed.
TEST_F(ExportRun, ConditionsDialogShowsTheDatasetAndTheCallersPath)
{
    h.WriteScript("key ESCAPE\nanswer OK\n");
    const CalledRun c = RunCalled(h, {"123456,1024,7,C:\\out\\a,b.xml"});
    const RunResult& r = c.r;
    EXPECT_TRUE(ShowsText(r, 1010, " 株式会社サンプル商事")) << r.transcript;
    EXPECT_TRUE(ShowsText(r, 1011, " 2024/04/01～2025/03/31")) << r.transcript;
    EXPECT_TRUE(ShowsText(r, 1012, " 原則課税")) << r.transcript;
    EXPECT_TRUE(ShowsText(r, 1003, "課税仕入控除")) << r.transcript;
    EXPECT_TRUE(ShowsText(r, 1013, " 個別対応方式")) << r.transcript;
    EXPECT_TRUE(ShowsText(r, 1008, "C:\\out\\a,b.xml")) << r.transcript;
    EXPECT_EQ(c.caller, Notified(7, 1));

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
    EXPECT_TRUE(Checked(plain.transcript, 1035)) << plain.transcript;  // sales 割り戻し as saved
    EXPECT_FALSE(Checked(plain.transcript, 1039)) << plain.transcript;

    h.ExecSql("INSERT INTO saved_tax_fields VALUES (1, 9, 4, 20230401);"   // another fiscal year
              "INSERT INTO saved_tax_fields VALUES (1, 13, 4, 20240331);"
              "INSERT INTO saved_tax_fields VALUES (1, 6, 1, 1);"          // sales 積み上げ
              "INSERT INTO saved_tax_fields VALUES (1, 17344, 1, 1);");    // 「2割特例」
    RunResult r = h.Run({});
    EXPECT_TRUE(Checked(r.transcript, 1034)) << r.transcript;
    EXPECT_FALSE(Checked(r.transcript, 1035)) << r.transcript;
    EXPECT_TRUE(Checked(r.transcript, 1039)) << r.transcript;
    // The saved-values mode is not offered.
    EXPECT_TRUE(Checked(r.transcript, 1029)) << r.transcript;
    EXPECT_NE(ControlLine(r.transcript, 1031).find(" disabled"), std::string::npos) << r.transcript;
}

// In the saved-values mode the months are the saved return's taxable period;
// a completed run remembers them with the other conditions, and the path only
// when no caller fixed it. The caller learns of the completion with result 0.
TEST_F(ExportRun, CompletedRunRemembersTheConditionsAndNotifiesResult0)
{
    h.ExecSql("INSERT INTO saved_tax_fields VALUES (1, 29, 4, 20241001);"
              "INSERT INTO saved_tax_fields VALUES (1, 33, 4, 20250331);");
    const std::string settings = SettingsFile(h);

    h.WriteScript("click 1031\ntype 1008 C:\\own.xml\nkey F12\nanswer OK\n");
    RunResult own = h.Run({});
    ASSERT_EQ(own.messages.size(), 1u) << own.transcript;
    const std::string line = ReadFile(settings);
    EXPECT_NE(line.find(":1/10/3/0/1/0/C:\\own.xml\n"), std::string::npos) << line;

    h.WriteScript("click 1031\nkey F12\nanswer OK\n");
    const CalledRun called = RunCalled(h, {"123456,1024,7,C:\\called.xml"});
    ASSERT_EQ(called.r.messages.size(), 1u) << called.r.transcript;
    EXPECT_EQ(called.caller, Notified(7, 0));
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
        const CalledRun c = RunCalled(h, {"123456,1024,3,"});
        ExpectOneMessage(c.r, kT3);
        EXPECT_EQ(c.caller, Notified(3, 2));
    }
}

}  // namespace
