// Faults on the way out, through the built deliverable: a disk that fills up
// during each section of the link file, output places that cannot be
// written, and settings files that are damaged, foreign or cannot be
// rewritten. What the user is asked, what the caller receives and what is
// left on disk are checked together.
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

const char kBadDrive[] = "ドライブ名が有効でありません。\n\n有効なドライブを指定してください。";

// The key of the user admin on the first sample dataset in Zelkora.env.
const char kKey[] = "admin/{5A4B0001000000000000000000000001}:";

// ---------------------------------------------------------------------------
// A full disk during each section, in both modes, answered No and Yes. The
// disk takes the file up to the byte where it filled; the writer then writes
// nothing more (the end tag of REPORT cannot be written either), so the file
// is the complete file's beginning, cut where the disk filled.

TEST(RobustOutput, FullDiskDuringEachSectionAnsweredNoAndYes)
{
    struct Mode {
        const char* name;
        const char* choose;  // script lines choosing the mode
    };
    for (const Mode& mode : {Mode{"aggregation", ""}, Mode{"saved values", "click 1031\n"}}) {
        SCOPED_TRACE(mode.name);
        RunHarness h;
        h.BuildHome({"corp-general"}, 1);
        h.WriteScript(std::string(mode.choose) + "type 1008 C:\\ref.xml\nkey F12\nanswer OK\n");
        const CalledRun ref = RunCalled(h);
        ASSERT_EQ(ref.caller, Notified(7, 0)) << Brief(ref.r);
        const std::string complete = ReadFile(h.HomeDir() + "/drive_c/ref.xml");
        ASSERT_TRUE(fs::exists(SettingsFile(h)));

        const size_t system = complete.find("\t<SYSTEM>\r\n");
        const size_t basic = complete.find("\t<BASIC>\r\n");
        const size_t data = complete.find("\t<DATA>\r\n");
        ASSERT_TRUE(system != std::string::npos && basic != std::string::npos && data != std::string::npos);
        const size_t limits[3] = {(system + basic) / 2, (basic + data) / 2, data + (complete.size() - data) / 2};

        const std::string out = h.HomeDir() + "/drive_c/full.xml";
        for (int section = 0; section < 3; ++section) {
            for (bool yes : {false, true}) {
                SCOPED_TRACE(std::string(yes ? "Yes" : "No") + " after section " + std::to_string(section));
                fs::remove(out);
                fs::remove(SettingsFile(h));
                std::string script = std::string(mode.choose) + "type 1008 C:\\full.xml\nkey F12\n";
                std::vector<std::string> expected;
                if (yes) {
                    // The sections after the failed one fail in turn.
                    for (int s = section; s < 3; ++s) {
                        script += "answer YES\n";
                        expected.push_back(Message("exclamation", "YES,NO", "YES", kQuestions[s]));
                    }
                    script += "answer OK\n";
                    expected.push_back(Message("exclamation", "OK", "OK", kIncomplete));
                } else {
                    script += "answer NO\n";
                    expected.push_back(Message("exclamation", "YES,NO", "NO", kQuestions[section]));
                }
                h.WriteScript(script);
                h.LimitFileSize(static_cast<long>(limits[section]));
                const CalledRun run = RunCalled(h);
                h.LimitFileSize(0);

                EXPECT_EQ(run.r.exitStatus, 0) << run.r.stderrText;
                EXPECT_EQ(Messages(run.r), expected) << Brief(run.r);
                // The file ends where the disk filled: going on cannot finish
                // it, so the run is an error for the caller either way.
                EXPECT_EQ(run.caller, Notified(7, 2));
                EXPECT_EQ(Count(run.r.transcript, "wait-cursor on"), Count(run.r.transcript, "wait-cursor off"));
                const std::string partial = ReadFile(out);
                EXPECT_EQ(partial.size(), limits[section]);
                EXPECT_TRUE(partial == complete.substr(0, limits[section])) << partial.substr(partial.size() - 80);
                // Only a completed run remembers its conditions.
                EXPECT_FALSE(fs::exists(SettingsFile(h)));
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Places that cannot be written.

TEST(RobustOutput, CdRomDriveIsRefusedInTheDialog)
{
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    fs::create_directories(h.Root() + "/cd");
    WriteFile(h.HomeDir() + "/zelkor.conf", "DRIVES=Q=" + h.Root() + "/cd:cdrom\n");
    h.WriteScript("type 1008 Q:\\out.xml\nkey F12\nanswer OK\nkey ESCAPE\nanswer OK\n");
    const CalledRun run = RunCalled(h);
    EXPECT_EQ(Messages(run.r), (std::vector<std::string>{Message("exclamation", "OK", "OK", kBadDrive),
                                                         Message("information", "OK", "OK", kCancelled)}))
        << Brief(run.r);
    EXPECT_EQ(run.caller, Notified(7, 1));
    EXPECT_TRUE(fs::is_empty(h.Root() + "/cd"));
}

// A read-only file that the user agreed to overwrite cannot be opened: every
// section fails. It keeps its old content whatever the user answers.
TEST(RobustOutput, ReadOnlyFileKeepsItsContent)
{
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    const std::string path = h.HomeDir() + "/drive_c/kept.xml";
    fs::create_directories(h.HomeDir() + "/drive_c");
    WriteFile(path, "earlier export\r\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        const FailingWriteRun failing = OverwriteThenFailingSections("C:\\kept.xml", yes);
        const std::vector<std::string>& expected = failing.messages;
        h.WriteScript(failing.script);
        const CalledRun run = RunCalled(h);
        EXPECT_EQ(Messages(run.r), expected) << Brief(run.r);
        EXPECT_EQ(run.caller, Notified(7, 2));
        EXPECT_EQ(ReadFile(path), "earlier export\r\n");
    }
}

// ---------------------------------------------------------------------------
// Settings files

// Lines of other users and datasets, some of them in forms the program never
// writes. Every write must keep them byte for byte and in their order.
std::string OtherLines()
{
    std::string text;
    text += "zeta/{5A4B0001000000000000000000000001}:0/4/3/0/1/0/C:\\zeta.xml\n";
    text += "a line without any slash\n";
    text += "admin2/{5A4B0001000000000000000000000001}:1/2\n";                        // too few slashes
    text += "xadmin/{5A4B0001000000000000000000000001}:0/4/3/0/1/0/C:\\x.xml\n";      // the key behind letters
    text += "kana/{5A4B0001000000000000000000000001}:0/4/3/0/1/0/C:\\\x83\x5C\x95\x5C.xml\n";  // ソ表
    text += "bytes/{5A4B0001000000000000000000000001}:0/4/3/0/1/0/C:\\\x80\xA0\xFD\xFF\x81.xml\n";  // no Shift_JIS
    text += "long" + std::string(120, 'k') + "/{5A4B0001000000000000000000000001}:0/4/3/0/1/0/C:\\k.xml\n";
    text += "path/{5A4B0001000000000000000000000001}:0/4/3/0/1/0/C:\\" + std::string(400, 'p') + "\n";
    text += "\n";
    text += "crlf/{5A4B0001000000000000000000000001}:0/4/3/0/1/0/C:\\crlf.xml\r\n";
    text += std::string("nul/{5A4B0001000000000000000000000001}:0/4/3/0/1/0/C:\\n") + '\0' + "ul.xml\n";
    return text;
}

// The control line of `id` in the conditions dialog's first listing.
std::string ControlLine(const RunResult& r, int id) { return e2e::ControlLine(r.transcript, id); }

// Runs of the user's own (no caller), so that the path is remembered too.
TEST(RobustSettings, OtherLinesSurviveAndDamagedLinesOfTheKeyAreReplaced)
{
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    fs::create_directories(h.HomeDir() + "/drive_c/Zelkor/Settings");
    const std::string others = OtherLines();
    const std::string last = "last/{5A4B0001000000000000000000000001}:0/1/12/0/0/0/C:\\last.xml";  // no line end

    {
        SCOPED_TRACE("a line of the key with five slashes, and a last line without its line end");
        WriteFile(SettingsFile(h), others + kKey + "1/7/9/1/1/C:\\damaged.xml\n" + last);
        h.WriteScript("type 1008 C:\\mine.xml\nkey F12\nanswer OK\n");
        const CalledRun run{h.Run({}), {}};
        EXPECT_EQ(Messages(run.r), std::vector<std::string>{Message("information", "OK", "OK", kCompleted)})
            << Brief(run.r);
        // The damaged line was not taken: the dialog opened with its defaults.
        EXPECT_EQ(ControlLine(run.r, 1008).find("damaged"), std::string::npos) << ControlLine(run.r, 1008);
        EXPECT_EQ(ControlLine(run.r, 1014).find("\"7\""), std::string::npos) << ControlLine(run.r, 1014);
        const std::string now = ReadFile(SettingsFile(h));
        const std::string kept = others + last + "\n";
        ASSERT_GT(now.size(), kept.size());
        EXPECT_TRUE(now.compare(0, kept.size(), kept) == 0) << now.substr(0, 200);
        const std::string mine = now.substr(kept.size());
        EXPECT_EQ(mine.rfind(kKey, 0), 0u) << mine;
        EXPECT_EQ(mine.substr(mine.size() - 12), "C:\\mine.xml\n") << mine;
        EXPECT_EQ(Count(mine, "\n"), 1);
    }
    {
        SCOPED_TRACE("a good line of the key, last and without its line end");
        WriteFile(SettingsFile(h), others + kKey + "0/5/2/0/1/0/C:\\before.xml");
        h.WriteScript("type 1008 C:\\after.xml\nkey F12\nanswer OK\n");
        const CalledRun run{h.Run({}), {}};
        EXPECT_EQ(Messages(run.r), std::vector<std::string>{Message("information", "OK", "OK", kCompleted)})
            << Brief(run.r);
        EXPECT_NE(ControlLine(run.r, 1008).find("\"C:\\\\before.xml\""), std::string::npos)
            << ControlLine(run.r, 1008);
        EXPECT_NE(ControlLine(run.r, 1014).find("\"5\""), std::string::npos) << ControlLine(run.r, 1014);
        const std::string now = ReadFile(SettingsFile(h));
        EXPECT_EQ(now, others + kKey + "0/5/2/0/1/0/C:\\after.xml\n");
    }
}

// User IDs of 64 bytes make keys far beyond 50 bytes. Two users whose IDs
// differ only in their last byte keep a line each, and each reads back only
// their own.
TEST(RobustSettings, LongKeysAreNeverCut)
{
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    const std::string userA = std::string(63, 'u') + "A";
    const std::string userB = std::string(63, 'u') + "B";
    h.ExecSql("INSERT INTO users (user_id) VALUES ('" + userA + "'), ('" + userB + "');");
    auto runAs = [&](const std::string& user, const std::string& path) {
        h.ExecSql("UPDATE selection SET user_id = '" + user + "';");
        h.WriteScript("type 1008 " + path + "\nkey F12\nanswer OK\n");
        return h.Run({});
    };
    runAs(userA, "C:\\a.xml");
    runAs(userB, "C:\\b.xml");
    const std::string keyA = userA + "/{5A4B0001000000000000000000000001}:";
    const std::string keyB = userB + "/{5A4B0001000000000000000000000001}:";
    EXPECT_EQ(ReadFile(SettingsFile(h)), keyA + "0/4/3/0/1/0/C:\\a.xml\n" + keyB + "0/4/3/0/1/0/C:\\b.xml\n");

    h.ExecSql("UPDATE selection SET user_id = '" + userA + "';");
    h.WriteScript("key ESCAPE\nanswer OK\n");
    const RunResult r = h.Run({});
    EXPECT_NE(ControlLine(r, 1008).find("\"C:\\\\a.xml\""), std::string::npos) << ControlLine(r, 1008);
}

// The new content cannot be written whole (the disk fills): the file stays
// as it was, with every line, and no half-written file is left beside it.
// The export itself has completed and stays completed.
TEST(RobustSettings, WriteThatFailsHalfWayLeavesTheFileAsItWas)
{
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    h.WriteScript("type 1008 C:\\ref.xml\nkey F12\nanswer OK\n");
    ASSERT_EQ(h.Run({}).exitStatus, 0);
    const size_t fileSize = ReadFile(h.HomeDir() + "/drive_c/ref.xml").size();
    ASSERT_GT(fileSize, 1000u);

    // A settings file larger than the limit (and than the 32,767 bytes the
    // format was made for), the key's line in its middle.
    const long limit = static_cast<long>(fileSize) + 20000;
    std::string before;
    while (before.size() < static_cast<size_t>(limit) / 2) before += OtherLines();
    before += std::string(kKey) + "0/5/2/0/1/0/C:\\before.xml\n";
    while (before.size() < static_cast<size_t>(limit) + 30000) before += OtherLines();
    WriteFile(SettingsFile(h), before);

    h.WriteScript("type 1008 C:\\out.xml\nkey F12\nanswer OK\n");
    h.LimitFileSize(limit);
    const CalledRun run = RunCalled(h);
    h.LimitFileSize(0);
    EXPECT_EQ(Messages(run.r), std::vector<std::string>{Message("information", "OK", "OK", kCompleted)})
        << Brief(run.r);
    EXPECT_EQ(run.caller, Notified(7, 0));
    EXPECT_NE(ControlLine(run.r, 1014).find("\"5\""), std::string::npos) << ControlLine(run.r, 1014);
    const std::string xml = ReadFile(h.HomeDir() + "/drive_c/out.xml");
    ASSERT_GT(xml.size(), 12u);
    EXPECT_EQ(xml.substr(xml.size() - 11), "</REPORT>\r\n");
    EXPECT_TRUE(ReadFile(SettingsFile(h)) == before);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(h.HomeDir() + "/drive_c/Zelkor/Settings"))
        names.push_back(entry.path().filename().string());
    // Nothing is left beside it.
    EXPECT_EQ(names, (std::vector<std::string>{"Zelkora.env"}));

    // With room on the disk the same run does rewrite the file: the key's
    // line moves to the end (with the path it had: a caller's run keeps it),
    // the others stay.
    h.WriteScript("type 1008 C:\\out.xml\nkey F12\nanswer YES\nanswer OK\n");
    const CalledRun again = RunCalled(h);
    EXPECT_EQ(again.caller, Notified(7, 0));
    const std::string line = std::string(kKey) + "0/5/2/0/1/0/C:\\before.xml\n";
    const size_t at = before.find(line);
    std::string expected = before;
    expected.erase(at, line.size());
    EXPECT_TRUE(ReadFile(SettingsFile(h)) == expected + line);
}

// A settings folder on a drive that is never writable: the remembered
// conditions are read, the export completes, the file is left alone.
TEST(RobustSettings, UnwritableSettingsFolder)
{
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    fs::create_directories(h.Root() + "/cd/Settings");
    const std::string file = h.Root() + "/cd/Settings/Zelkora.env";
    const std::string before = OtherLines() + kKey + "0/5/2/0/1/0/C:\\remembered.xml\n";
    WriteFile(file, before);
    WriteFile(h.HomeDir() + "/zelkor.conf",
              "DRIVES=Q=" + h.Root() + "/cd:cdrom\nSETTINGS_FOLDER=Q:\\Settings\\\n");
    h.WriteScript("type 1008 C:\\new.xml\nkey F12\nanswer OK\n");
    const CalledRun run = RunCalled(h);
    EXPECT_NE(ControlLine(run.r, 1008).find("remembered.xml"), std::string::npos) << ControlLine(run.r, 1008);
    EXPECT_EQ(Messages(run.r), std::vector<std::string>{Message("information", "OK", "OK", kCompleted)})
        << Brief(run.r);
    EXPECT_EQ(run.caller, Notified(7, 0));
    EXPECT_TRUE(fs::exists(h.HomeDir() + "/drive_c/new.xml"));
    EXPECT_TRUE(ReadFile(file) == before);
    EXPECT_EQ(std::distance(fs::directory_iterator(h.Root() + "/cd/Settings"), fs::directory_iterator()), 1);
}

}  // namespace
