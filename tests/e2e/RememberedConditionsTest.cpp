// The conditions of a completed export are remembered per user and dataset:
// the next run of the same deliverable opens the conditions dialog with them.
#include "RunChecks.h"
#include "RunHarness.h"

#include "win32/Mbcs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

// The control lines of the first conditions dialog a transcript shows, by id.
std::map<int, std::string> DialogControls(const std::string& transcript)
{
    std::map<int, std::string> controls;
    std::istringstream in(transcript);
    bool inDialog = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("open dialog:130 ", 0) == 0) {
            inDialog = true;
            continue;
        }
        if (!inDialog) continue;
        if (line.rfind("  control ", 0) != 0) break;
        controls[std::stoi(line.substr(10))] = line;
    }
    return controls;
}

// The state the transcript gives one control: its quoted text and what
// follows it.
std::string Shown(const std::map<int, std::string>& controls, int id)
{
    auto it = controls.find(id);
    if (it == controls.end()) return "(no control " + std::to_string(id) + ")";
    const size_t quote = it->second.find('"');
    return quote == std::string::npos ? it->second : it->second.substr(quote);
}

const char kFirstRun[] = "type 1014 5\ntype 1016 2\nclick 1034\ntype 1008 C:\\first.xml\nkey F12\nanswer OK\n";

TEST(RememberedConditions, SecondRunOpensWithWhatTheFirstRemembered)
{
    e2e::RunHarness h("Zelkora");
    h.BuildHome({"corp-general"}, 1);
    h.WriteScript(kFirstRun);
    e2e::RunResult r = h.Run({});
    ASSERT_EQ(r.exitStatus, 0) << r.stderrText;
    ASSERT_TRUE(std::ifstream(h.HomeDir() + "/drive_c/first.xml").good()) << r.transcript;

    // One line of the user and the dataset; sales and purchases 積み上げ.
    const std::string settings = e2e::ReadFile(e2e::SettingsFile(h));
    // The key: the user, a slash, the 34-character data ID and a colon; no
    // selected number in this edition.
    const std::string key = settings.substr(0, settings.find(':') + 1);
    EXPECT_EQ(key.rfind("admin/{", 0), 0u) << settings;
    EXPECT_EQ(key.size(), 6u + 34u + 1u) << settings;
    const std::string values = ":0/5/2/1/1/0/C:\\first.xml\n";
    ASSERT_GE(settings.size(), values.size());
    EXPECT_EQ(settings.substr(settings.size() - values.size()), values) << settings;
    EXPECT_EQ(settings.find('\n'), settings.size() - 1) << settings;

    // The second run opens with them; Esc leaves the remembered line alone.
    h.WriteScript("key ESCAPE\nanswer OK\n");
    r = h.Run({});
    const std::map<int, std::string> c = DialogControls(r.transcript);
    EXPECT_EQ(Shown(c, 1014), "\"5\"");
    EXPECT_EQ(Shown(c, 1016), "\"2\"");
    EXPECT_EQ(Shown(c, 1008), "\"C:\\\\first.xml\"");
    EXPECT_NE(Shown(c, 1034).find("\" checked"), std::string::npos) << Shown(c, 1034);
    EXPECT_NE(Shown(c, 1037).find("\" checked"), std::string::npos) << Shown(c, 1037);
    EXPECT_NE(Shown(c, 1029).find("\" checked"), std::string::npos) << Shown(c, 1029);
    EXPECT_EQ(e2e::ReadFile(e2e::SettingsFile(h)), settings);
}

TEST(RememberedConditions, MonthsOutsideTheYearAreShownAndRefusedAsTyped)
{
    e2e::RunHarness h("Zelkora");
    h.BuildHome({"corp-general"}, 1);
    h.WriteScript(kFirstRun);
    ASSERT_EQ(h.Run({}).exitStatus, 0);
    // The remembered line, its months changed to 13 and 9.
    std::string settings = e2e::ReadFile(e2e::SettingsFile(h));
    const size_t at = settings.find(":0/5/2/");
    ASSERT_NE(at, std::string::npos) << settings;
    settings.replace(at, 7, ":0/13/9/");
    e2e::WriteFile(e2e::SettingsFile(h), settings);

    // The dialog shows them; 実行 refuses the start month, the run is then
    // cancelled and the line stays.
    const std::string script = "key F12\nanswer OK\nkey ESCAPE\nanswer OK\n";
    h.WriteScript(script);
    const e2e::RunResult remembered = h.Run({});
    EXPECT_EQ(remembered.exitStatus, 0) << remembered.stderrText;
    const std::map<int, std::string> c = DialogControls(remembered.transcript);
    EXPECT_EQ(Shown(c, 1014), "\"13\"");
    EXPECT_EQ(Shown(c, 1016), "\"9\"");
    const std::vector<std::string> expected = {
        e2e::Message("exclamation", "OK", "OK", "集計期間に誤りがあります。\n\n集計期間を設定しなおしてください。"),
        e2e::Message("information", "OK", "OK", e2e::kCancelled)};
    EXPECT_EQ(e2e::Messages(remembered), expected) << e2e::Brief(remembered);
    EXPECT_EQ(e2e::ReadFile(e2e::SettingsFile(h)), settings);

    // Typed 13 and 9, without a remembered line: the same refusal, on the
    // same edit.
    std::remove(e2e::SettingsFile(h).c_str());
    h.WriteScript("type 1014 13\ntype 1016 9\n" + script);
    const e2e::RunResult typed = h.Run({});
    EXPECT_EQ(e2e::Messages(typed), expected) << e2e::Brief(typed);
    // Both times the refusal leaves the start edit focused with its text
    // selected.
    const std::string selected = "  changed 1014 EDIT \"13\" focus sel=0-2\n";
    for (const e2e::RunResult* r : {&remembered, &typed}) {
        const size_t refusal = r->transcript.find(" icon=exclamation ");
        ASSERT_NE(refusal, std::string::npos) << r->transcript;
        EXPECT_NE(r->transcript.find(selected, refusal), std::string::npos) << r->transcript;
    }
}

// A suite home named relative to the folder the program was started in
// (ZELKOR_HOME=home) stays that home after the program has moved into its
// own folder: drive C: is the home's drive_c, the remembered conditions are
// offered, and 実行 exports to C:.
TEST(RememberedConditions, RelativeHomeKeepsDriveCAfterTheMoveToTheProgramFolder)
{
    e2e::RunHarness h("Zelkora");
    h.UseRelativePaths();
    h.BuildHome({"corp-general"}, 1);
    h.WriteScript(kFirstRun);
    e2e::RunResult r = h.Run({});
    ASSERT_EQ(r.exitStatus, 0) << r.stderrText;
    EXPECT_EQ(e2e::Messages(r), std::vector<std::string>{e2e::Message("information", "OK", "OK", e2e::kCompleted)})
        << r.transcript;
    ASSERT_TRUE(std::ifstream(h.HomeDir() + "/drive_c/first.xml").good()) << r.transcript;
    const std::string settings = e2e::ReadFile(e2e::SettingsFile(h));
    ASSERT_NE(settings.find(":0/5/2/1/1/0/C:\\first.xml\n"), std::string::npos) << settings;

    h.WriteScript("type 1008 C:\\again\\second.xml\nkey F12\nanswer YES\nanswer OK\n");
    r = h.Run({});
    ASSERT_EQ(r.exitStatus, 0) << r.stderrText;
    const std::map<int, std::string> c = DialogControls(r.transcript);
    EXPECT_EQ(Shown(c, 1014), "\"5\"");
    EXPECT_EQ(Shown(c, 1016), "\"2\"");
    EXPECT_EQ(Shown(c, 1008), "\"C:\\\\first.xml\"");
    EXPECT_EQ(r.transcript.find(e2e::Quoted("ドライブ名が有効でありません。")), std::string::npos) << r.transcript;
    EXPECT_TRUE(std::ifstream(h.HomeDir() + "/drive_c/again/second.xml").good()) << r.transcript;
    EXPECT_EQ(e2e::ReadFile(h.HomeDir() + "/drive_c/again/second.xml"),
              e2e::ReadFile(h.HomeDir() + "/drive_c/first.xml"));
    // Nothing of the home was made in the program's folder.
    EXPECT_FALSE(std::ifstream(h.ProgramDir() + "/home/suite.db").good());
    EXPECT_FALSE(std::ifstream(h.ProgramDir() + "/transcript.txt").good());
}

TEST(RememberedConditions, CallersPathIsNotRemembered)
{
    e2e::RunHarness h("Zelkora");
    h.BuildHome({"corp-general"}, 1);
    h.WriteScript(kFirstRun);
    ASSERT_EQ(h.Run({}).exitStatus, 0);

    // A run started by the bookkeeping application with a path of its own:
    // the months are stored, the user's own path stays.
    h.WriteScript("type 1014 6\nkey F12\nanswer OK\n");
    e2e::RunResult r = e2e::RunCalled(h, {"123456,1024,7,C:\\caller.xml"}).r;
    ASSERT_EQ(r.exitStatus, 0) << r.stderrText;
    ASSERT_TRUE(std::ifstream(h.HomeDir() + "/drive_c/caller.xml").good()) << r.transcript;
    const std::string settings = e2e::ReadFile(e2e::SettingsFile(h));
    const std::string values = ":0/6/2/1/1/0/C:\\first.xml\n";
    ASSERT_GE(settings.size(), values.size());
    EXPECT_EQ(settings.substr(settings.size() - values.size()), values) << settings;

    h.WriteScript("key ESCAPE\nanswer OK\n");
    r = h.Run({});
    const std::map<int, std::string> c = DialogControls(r.transcript);
    EXPECT_EQ(Shown(c, 1014), "\"6\"");
    EXPECT_EQ(Shown(c, 1008), "\"C:\\\\first.xml\"");
}

TEST(RememberedConditions, NetworkEditionKeyCarriesTheSelectedNumber)
{
    e2e::RunHarness h("Zelkorb");
    h.BuildHome({"corp-general"}, 1);
    h.WriteScript(kFirstRun);
    ASSERT_EQ(h.Run({}).exitStatus, 0);
    const std::string settings = e2e::ReadFile(e2e::SettingsFile(h, "Zelkorb"));
    const std::string key = settings.substr(0, settings.find(':') + 1);
    EXPECT_EQ(key.rfind("admin/1/{", 0), 0u) << settings;
    EXPECT_EQ(key.size(), 8u + 34u + 1u) << settings;

    h.WriteScript("key ESCAPE\nanswer OK\n");
    const e2e::RunResult r = h.Run({});
    EXPECT_EQ(Shown(DialogControls(r.transcript), 1008), "\"C:\\\\first.xml\"");
}

}  // namespace
