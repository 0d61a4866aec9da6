// Hostile files and limits through the built deliverable, with nothing
// masked by the harness: the executable runs with the default disposition of
// every signal. A file-size limit of the host, FIFOs and devices where the
// program expects its files. Every run
// must end within its time limit, tell the user and the caller, and leave
// what a full disk or a missing file would leave.
#include "RunChecks.h"
#include "RunHarness.h"
#include "win32/Mbcs.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace e2e;

const char kT1[] = "動作環境が不正です。\n消費税のOrlanzenが正しくインストールされているか確認してください。";

// Every run here must end well within this; a run that blocks is killed
// there and fails the test.
constexpr int kTimeLimitMs = 20000;

// `ulimit -f 50`: 50 blocks of 1,024 bytes.
constexpr long kUlimit50 = 50 * 1024;

// The caller's lines of the transcript for a run that kCaller started and
// that ended with `result`: disabled once, then enabled and told once.
std::vector<std::string> CallerLines(int result)
{
    std::vector<std::string> lines;
    for (const std::string& event : Notified(7, result))
        lines.push_back("caller foreign:0x0001E240 \"" + event + "\" delivered");
    return lines;
}

// A FIFO at `path`.
void MakeFifo(const std::string& path)
{
    fs::create_directories(fs::path(path).parent_path());
    ASSERT_EQ(mkfifo(path.c_str(), 0644), 0) << path;
}

// ---------------------------------------------------------------------------
// A file-size limit is a full disk: the write fails, the section's question
// is asked; going on ends with the incomplete-file message, stopping ends
// there; either way result 2, and the caller is enabled and told once.

TEST(HostileFiles, FileSizeLimitIsAWriteErrorLikeAFullDisk)
{
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    const std::string complete = AsExportedBy(GoldenFile("corp-general-aggregation.xml"), "Zelkora", 7);
    ASSERT_GT(complete.size(), static_cast<size_t>(kUlimit50));
    ASSERT_LT(complete.find("\t<DATA>\r\n"), static_cast<size_t>(kUlimit50));  // the limit lies inside DATA
    const std::string out = h.DriveC("limited.xml");

    for (bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        fs::remove(out);
        fs::remove(SettingsFile(h));
        h.WriteScript(std::string("type 1008 C:\\limited.xml\nkey F12\n") +
                      (yes ? "answer YES\nanswer OK\n" : "answer NO\n"));
        h.LimitFileSize(kUlimit50);
        const CalledRun run = RunCalled(h);
        h.LimitFileSize(0);

        // Not killed by the signal: the process ends on its own, with the
        // status of its framework.
        EXPECT_EQ(run.r.exitStatus, 0) << run.r.stderrText;
        std::vector<std::string> expected = {Message("exclamation", "YES,NO", yes ? "YES" : "NO", kQuestions[2])};
        if (yes) expected.push_back(Message("exclamation", "OK", "OK", kIncomplete));
        EXPECT_EQ(Messages(run.r), expected) << Brief(run.r);
        EXPECT_EQ(run.caller, Notified(7, 2));
        EXPECT_EQ(run.r.callerLines, CallerLines(2)) << Brief(run.r);

        // The road's end: the question (and the message), the wait cursor
        // off, then the caller.
        const std::vector<std::string> road = Road(run.r.transcript);
        std::vector<std::string> tail = {
            MessageLine("dialog:131", "exclamation", "YES,NO", kQuestions[2], yes ? "YES" : "NO")};
        if (yes) tail.push_back(MessageLine("dialog:131", "exclamation", "OK", kIncomplete, "OK"));
        tail.push_back("wait-cursor off");
        for (const std::string& line : CallerLines(2))
            if (line.find("disable") == std::string::npos) tail.push_back(line);
        ASSERT_GE(road.size(), tail.size());
        EXPECT_EQ(std::vector<std::string>(road.end() - static_cast<long>(tail.size()), road.end()), tail)
            << Brief(run.r);

        // The file holds the complete file's beginning up to the limit.
        const std::string partial = ReadFile(out);
        EXPECT_EQ(partial.size(), static_cast<size_t>(kUlimit50));
        EXPECT_TRUE(partial == complete.substr(0, kUlimit50)) << FirstDifference(complete.substr(0, kUlimit50), partial);
        EXPECT_FALSE(fs::exists(SettingsFile(h)));
    }
}

// ---------------------------------------------------------------------------
// Output targets that are not regular files are files that cannot be
// created: after the overwrite question, every section fails.

TEST(HostileFiles, FifoAsTheOutputFileCannotBeCreated)
{
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    const std::string fifo = h.DriveC("fifo.xml");
    MakeFifo(fifo);

    struct Case {
        const char* name;
        bool reader;  // a reader holds the FIFO open, so that opening it for writing would succeed
        bool yes;
    };
    for (const Case& c : {Case{"no reader, No", false, false}, Case{"no reader, Yes", false, true},
                          Case{"a reader, Yes", true, true}}) {
        SCOPED_TRACE(c.name);
        const int reader = c.reader ? open(fifo.c_str(), O_RDONLY | O_NONBLOCK) : -1;
        ASSERT_TRUE(!c.reader || reader >= 0);
        const FailingWriteRun failing = OverwriteThenFailingSections("C:\\fifo.xml", c.yes);
        const std::vector<std::string>& expected = failing.messages;
        h.WriteScript(failing.script);
        TestCaller caller(kCaller, 5, kTimeLimitMs);
        ASSERT_TRUE(caller.Ready());
        const RunResult r = h.Run({"123456,1024,7,"}, kTimeLimitMs);
        const std::vector<std::string> notified = caller.Finish();

        EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
        EXPECT_EQ(Messages(r), expected) << Brief(r);
        EXPECT_EQ(notified, Notified(7, 2));
        EXPECT_EQ(r.callerLines, CallerLines(2));
        EXPECT_TRUE(fs::is_fifo(fifo));  // left as it was, not replaced
        if (reader >= 0) {
            char byte;
            EXPECT_LE(read(reader, &byte, 1), 0) << "something was written into the FIFO";
            close(reader);
        }
        EXPECT_FALSE(fs::exists(SettingsFile(h)));
    }
}

// ---------------------------------------------------------------------------
// Inputs that are not regular files read as missing files.

// SUPPORT.INF: the product name falls back to the deliverable's literal and
// the export completes with the file it writes without SUPPORT.INF.
TEST(HostileFiles, SupportFileThatIsAFifoOrADeviceReadsAsMissing)
{
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    const std::string support = h.ProgramDir() + "/SUPPORT.INF";
    const std::string complete = AsExportedBy(GoldenFile("corp-general-aggregation.xml"), "Zelkora", 7);
    for (const char* kind : {"fifo", "/dev/zero"}) {
        SCOPED_TRACE(kind);
        fs::remove(support);
        fs::remove(h.DriveC("out.xml"));
        if (std::string(kind) == "fifo") {
            MakeFifo(support);
        } else {
            fs::create_symlink(kind, support);
        }
        h.WriteScript("type 1008 C:\\out.xml\nkey F12\nanswer OK\n");
        TestCaller caller(kCaller, 5, kTimeLimitMs);
        ASSERT_TRUE(caller.Ready());
        const RunResult r = h.Run({"123456,1024,7,"}, kTimeLimitMs);
        EXPECT_EQ(caller.Finish(), Notified(7, 0));
        EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
        EXPECT_EQ(Messages(r), std::vector<std::string>{Message("information", "OK", "OK", kCompleted)}) << Brief(r);
        const std::string file = ReadFile(h.DriveC("out.xml"));
        EXPECT_TRUE(file == complete) << FirstDifference(complete, file);
    }
}

// OrlanzenDef.ini: a FIFO, or a link to a device without an end, is a
// missing definition file: T1 and result 2.
TEST(HostileFiles, DefinitionFileThatIsAFifoOrADeviceReadsAsMissing)
{
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    const std::string ini = h.ProgramDir() + "/OrlanzenDef.ini";
    for (const std::string kind : {"fifo", "/dev/zero"}) {
        SCOPED_TRACE(kind);
        h.RemoveDefinitionFile();
        if (kind == "fifo") {
            MakeFifo(ini);
        } else {
            fs::create_symlink(kind, ini);
        }
        h.WriteScript("answer OK\n");
        TestCaller caller(kCaller, 5, kTimeLimitMs);
        ASSERT_TRUE(caller.Ready());
        const RunResult r = h.Run({"123456,1024,7,"}, kTimeLimitMs);
        EXPECT_EQ(caller.Finish(), Notified(7, 2));
        EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
        EXPECT_EQ(Messages(r), std::vector<std::string>{Message("exclamation", "OK", "OK", kT1)}) << Brief(r);
        EXPECT_EQ(r.callerLines, CallerLines(2));
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// A failed write of the output file keeps the section's questions as they are
// and says why on standard error, once: the host file and the host's reason,
// which the questions and the result code do not tell.

namespace {

// The one line of standard error for the output file `host`; `system`: the
// host's own text of the reason, when there is one.
std::string ReasonLine(const std::string& host, const char* cp932Doing, const char* cp932Words, const char* system)
{
    return "zelkor: " + mbcs::Cp932ToUtf8("ファイル ") + host + " " + mbcs::Cp932ToUtf8(cp932Doing) + ": " +
           mbcs::Cp932ToUtf8(cp932Words) + (system ? std::string(" (") + system + ")" : "") + "\n";
}

// Every section's question answered Yes, then the incomplete-file message.
const char kGoOnScript[] = "key F12\nanswer YES\nanswer YES\nanswer YES\nanswer OK\n";

std::vector<std::string> EverySectionFailed()
{
    std::vector<std::string> messages;
    for (const char* q : kQuestions) messages.push_back(Message("exclamation", "YES,NO", "YES", q));
    messages.push_back(Message("exclamation", "OK", "OK", kIncomplete));
    return messages;
}

}  // namespace

TEST(HostileFiles, AFailedOutputWriteTellsTheHostFileAndTheReasonOnce)
{
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    const std::string out = h.DriveC("failed.xml");

    {
        SCOPED_TRACE("a file-size limit inside DATA");
        h.WriteScript("type 1008 C:\\failed.xml\nkey F12\nanswer NO\n");
        h.LimitFileSize(kUlimit50);
        const RunResult r = h.Run({}, kTimeLimitMs);
        h.LimitFileSize(0);
        EXPECT_EQ(Messages(r), std::vector<std::string>{Message("exclamation", "YES,NO", "NO", kQuestions[2])})
            << Brief(r);
        EXPECT_EQ(r.stderrText, ReasonLine(out, "に書き込めません", "ファイルサイズの上限を超えました", "File too large"));
    }
    {
        SCOPED_TRACE("a full disk from the first write on");
        fs::remove(out);
        h.WriteScript(std::string("type 1008 C:\\failed.xml\n") + kGoOnScript);
        h.SetExtraEnvironment({"LD_PRELOAD=" + HostShimPath(), "ZK_SHIM_WRITE_ERRNO=" + std::to_string(ENOSPC),
                               "ZK_SHIM_WRITE_MATCH=" + out, "ASAN_OPTIONS=verify_asan_link_order=0"});
        const RunResult r = h.Run({}, kTimeLimitMs);
        h.SetExtraEnvironment({});
        EXPECT_EQ(Messages(r), EverySectionFailed()) << Brief(r);
        EXPECT_EQ(r.stderrText,
                  ReasonLine(out, "に書き込めません", "ディスクの空き領域が不足しています", "No space left on device"));
        EXPECT_EQ(ReadFile(out), "");
    }
    {
        SCOPED_TRACE("a read-only output file that is overwritten");
        { std::ofstream(out) << "old"; }
        fs::permissions(out, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        const FailingWriteRun run = OverwriteThenFailingSections("C:\\failed.xml", false);
        h.WriteScript(run.script);
        const RunResult r = h.Run({}, kTimeLimitMs);
        EXPECT_EQ(Messages(r), run.messages) << Brief(r);
        EXPECT_EQ(r.stderrText, ReasonLine(out, "を書き込み用に開けません", "読み取り専用のファイルです", nullptr));
        EXPECT_EQ(ReadFile(out), "old");
    }
}

// A user who may not write the output folder (root ignores permissions: a
// spare uid runs the program).
TEST(HostileFiles, AnOutputFolderTheUserMayNotWriteIsToldWithTheReason)
{
    if (!CanRunAsOtherUsers()) GTEST_SKIP() << "a folder a user may not write needs another host user: root only";
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    h.OpenToAllUsers();
    fs::create_directories(h.DriveC("locked"));
    fs::permissions(h.DriveC("locked"), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                            fs::perms::others_read | fs::perms::others_exec);
    const RunHarness::HostUser user{2153, 2153, {}, 022};
    h.RunAs(&user);
    h.WriteScript(std::string("type 1008 C:\\locked\\out.xml\n") + kGoOnScript);
    const RunResult r = h.Run({}, kTimeLimitMs);
    EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
    EXPECT_EQ(Messages(r), EverySectionFailed()) << Brief(r);
    EXPECT_EQ(r.stderrText, ReasonLine(h.DriveC("locked/out.xml"), "を書き込み用に開けません",
                                       "アクセスが拒否されました", "Permission denied"));
    EXPECT_FALSE(fs::exists(h.DriveC("locked/out.xml")));
}
