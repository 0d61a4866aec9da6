// Termination signals sent to the whole process (as kill sends them) at chosen
// calls of a built deliverable, through the host shim: whatever the moment,
// the caller's result matches the disk (0: the complete export is there; 2:
// no file of the run is left, a file it never opened is untouched), the
// caller hears once, and the process ends by the signal.
#include "RunChecks.h"
#include "RunHarness.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace e2e;

// Where the shim sends the signal, and what it widens.
struct Moment {
    int signal = SIGTERM;
    std::string call;        // write, openat, rename, fsync, flock, ftruncate, sendto
    int at = 1;              // the n-th such call ...
    std::string match;       // ... on a path containing this ("" any)
    int pauseMs = 300;       // the signalled thread waits this long once the signal is taken
    std::string delayCall;   // calls made slow once the signal is sent
    int delayMs = 0;
};

struct MomentRun {
    RunResult r;
    std::vector<std::string> caller;
};

// Standard error is UTF-8; the test's narrow literals are code page 932.
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

const char kExport[] = "type 1008 C:\\out.xml\nkey F12\nanswer OK\n";
// Saved-values mode (the mode's radio button, then the path).
const char kSavedValuesExport[] = "click 1031\ntype 1008 C:\\out.xml\nkey F12\nanswer OK\n";

class SignalMoments : public ::testing::Test {
public:
    void SetUp() override
    {
        h.BuildHome({"corp-general"}, 1);
        fs::create_directories(h.DriveC(""));
    }

    MomentRun RunAt(const Moment& m, const std::string& script)
    {
        h.WriteScript(script);
        std::vector<std::string> env = {
            "LD_PRELOAD=" + HostShimPath(),
            "ZK_SHIM_SIGNAL=" + std::to_string(m.signal),
            "ZK_SHIM_SIGNAL_CALL=" + m.call,
            "ZK_SHIM_SIGNAL_AT=" + std::to_string(m.at),
            "ZK_SHIM_SIGNAL_MATCH=" + m.match,
            "ZK_SHIM_SIGNAL_PAUSE_MS=" + std::to_string(m.pauseMs),
            // The shim comes ahead of a sanitizer's runtime.
            "ASAN_OPTIONS=verify_asan_link_order=0",
        };
        if (!m.delayCall.empty()) {
            env.push_back("ZK_SHIM_DELAY_CALL=" + m.delayCall);
            env.push_back("ZK_SHIM_DELAY_MS=" + std::to_string(m.delayMs));
        }
        h.SetExtraEnvironment(env);
        // More than one notification's datagrams may arrive: a second one
        // would show.
        TestCaller caller(kCaller, 11, 1500);
        EXPECT_TRUE(caller.Ready());
        // A run as another user reaches the endpoint too.
        fs::permissions(h.CallerDir(), fs::perms::all);
        fs::permissions(h.CallerDir() + "/" + std::to_string(kCaller) + ".sock", fs::perms::all);
        MomentRun out;
        out.r = h.Run({"123456,1024,7,"}, 60000);
        out.caller = caller.Finish();
        return out;
    }

    std::string Out() const { return h.DriveC("out.xml"); }

    // The run ended by the signal with result 2 and no file of its own left;
    // the settings file is as before the run.
    void ExpectEndedWithoutOutput(const MomentRun& run, int signal, const std::string& settingsBefore = "")
    {
        EXPECT_EQ(run.r.endSignal, signal) << Brief(run.r);
        EXPECT_EQ(run.caller, Notified(7, 2)) << Brief(run.r);
        EXPECT_EQ(ReadFile(SettingsFile(h)), settingsBefore);
    }

    RunHarness h;
};

// The previous export at the path, which another process holds with an
// exclusive lock (as another run writing the same file does): the run cannot
// open it, and a signal while it tries (here at the lock that fails) leaves
// the file as it was.
TEST_F(SignalMoments, AFileHeldByAnotherProcessIsNotTheRunsAndStays)
{
    WriteFile(Out(), "previous export");
    const int held = ::open(Out().c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        Moment m;
        m.signal = signal;
        m.call = "flock";
        m.match = "out.xml";
        const MomentRun run = RunAt(m, "type 1008 C:\\out.xml\nkey F12\nanswer YES\n");
        ExpectEndedWithoutOutput(run, signal);
        EXPECT_EQ(ReadFile(Out()), "previous export");
        EXPECT_NE(run.r.stderrText.find(Utf8(u8"出力ファイル C:\\out.xml はまだ書き始めていなかったため、変更していません。")),
                  std::string::npos)
            << run.r.stderrText;
    }
    ::close(held);
}

// Another user's file (0644) in a folder the run's user may write: the run
// cannot open it, and a signal at that open leaves it.
TEST_F(SignalMoments, AnotherUsersFileIsNotTheRunsAndStays)
{
    if (!CanRunAsOtherUsers()) GTEST_SKIP() << "runs as another host user need root";
    const std::string folder = h.DriveC("shared");
    fs::create_directories(folder);
    h.OpenToAllUsers();
    const std::string file = folder + "/out.xml";
    WriteFile(file, "another user's export");
    ASSERT_EQ(::chown(file.c_str(), 2101, 2101), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    const RunHarness::HostUser user{2102, 2102, {}, 022};
    h.RunAs(&user);
    Moment m;
    m.call = "openat";
    m.match = "shared/out.xml";
    const MomentRun run = RunAt(m, "type 1008 C:\\shared\\out.xml\nkey F12\nanswer YES\n");
    EXPECT_EQ(run.r.endSignal, SIGTERM) << Brief(run.r);
    EXPECT_EQ(run.caller, Notified(7, 2)) << Brief(run.r);
    EXPECT_EQ(ReadFile(file), "another user's export");
}

// A signal after Yes to the overwrite question but before the run opens the
// file (sent by kill once the answer is in the transcript, while a large
// journal is summed): the previous export stays, whole.
TEST_F(SignalMoments, ThePreviousExportStaysWhenTheSignalComesBeforeTheOpen)
{
    h.ExecSql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 800000)"
              " INSERT INTO journal (data_no, entry_date, month_kind, dr_account, dr_amount, dr_tax, dr_tax_code,"
              " dr_rate, cr_account, cr_amount, cr_tax, cr_tax_code, cr_rate)"
              " SELECT 1, 20240401 + (i % 28), 1 + (i % 12), 100, i, 1, 1, 1000, 200, i, 1, 21, 1000 FROM n");
    WriteFile(Out(), "previous export");
    h.WriteScript("type 1008 C:\\out.xml\nkey F12\nanswer YES\nanswer OK\n");
    TestCaller caller(kCaller, 11, 1500);
    ASSERT_TRUE(caller.Ready());
    bool sent = false;
    MomentRun run;
    run.r = h.Run({"123456,1024,7,"}, 60000, [&](int pid) {
        if (sent || ReadFile(h.TranscriptPath()).find("answer=YES") == std::string::npos) return;
        kill(pid, SIGTERM);
        sent = true;
    });
    run.caller = caller.Finish();
    ASSERT_TRUE(sent) << Brief(run.r);
    ExpectEndedWithoutOutput(run, SIGTERM);
    EXPECT_EQ(ReadFile(Out()), "previous export");
}

// A complete run's file, to compare with (no signal sent).
std::string Reference(SignalMoments& t, MomentRun (SignalMoments::*run)(const Moment&, const std::string&),
                      const char* script = kExport)
{
    Moment none;
    none.call = "none";
    const MomentRun r = (t.*run)(none, script);
    EXPECT_EQ(r.caller, Notified(7, 0)) << Brief(r.r);
    return ReadFile(t.h.DriveC("out.xml"));
}

// A signal at writes of the output from the first to the last: the ending
// begins while that write is under way, the run's thread is held at its next
// effect, so the file is never complete at the ending: result 2 and the file
// removed, never a result 0 before the last write.
TEST_F(SignalMoments, ASignalAtAnyWriteOfTheOutputRemovesItAndReports2)
{
    for (const char* script : {kExport, kSavedValuesExport}) {
        SCOPED_TRACE(script);
        const std::string whole = Reference(*this, &SignalMoments::RunAt, script);
        const int writes = Count(whole, "\n");
        ASSERT_GT(writes, 20);
        fs::remove(Out());
        const std::string settings = ReadFile(SettingsFile(h));
        for (int at : {1, 2, writes / 4, writes / 2, writes - 7, writes - 1, writes}) {
            SCOPED_TRACE("write " + std::to_string(at) + " of " + std::to_string(writes));
            Moment m;
            m.call = "write";
            m.at = at;
            m.match = "out.xml";
            const MomentRun run = RunAt(m, script);
            ExpectEndedWithoutOutput(run, SIGTERM, settings);
            EXPECT_FALSE(fs::exists(Out()));
            EXPECT_EQ(Count(run.r.transcript, Quoted(kCompleted)), 0) << Brief(run.r);
            EXPECT_NE(run.r.stderrText.find(Utf8(u8"書きかけの出力ファイル C:\\out.xml は削除しました。")),
                      std::string::npos)
                << run.r.stderrText;
        }
    }
}

// Once the output is closed whole the export is done: a signal while the
// conditions are remembered (the owner's replace of the settings file, at
// its rename) reports 0, keeps the complete file, and still ends the process
// by the signal.
TEST_F(SignalMoments, ASignalWhileTheSettingsAreWrittenKeepsTheCompleteExportAndReports0)
{
    const std::string whole = Reference(*this, &SignalMoments::RunAt);
    ASSERT_FALSE(whole.empty());
    for (const char* call : {"rename", "fsync"}) {
        SCOPED_TRACE(call);
        fs::remove(Out());
        Moment m;
        m.call = call;
        m.match = "Settings";
        const MomentRun run = RunAt(m, kExport);
        EXPECT_EQ(run.r.endSignal, SIGTERM) << Brief(run.r);
        EXPECT_EQ(run.caller, Notified(7, 0)) << Brief(run.r);
        EXPECT_EQ(ReadFile(Out()), whole);
        EXPECT_NE(run.r.stderrText.find(Utf8(u8"出力ファイル C:\\out.xml は出力が終わっていたため、そのまま残しました。")), std::string::npos) << run.r.stderrText;
        // The run's thread is held at the settings write: no closing message.
        EXPECT_EQ(Count(run.r.transcript, Quoted(kCompleted)), 0) << Brief(run.r);
    }
}

// The same for a user who does not own the shared settings file, which is
// then rewritten in place: a signal at the first write of that file reports
// 0, keeps the complete export, and leaves the settings line readable.
TEST_F(SignalMoments, ASignalWhileAnotherUserRewritesTheSettingsInPlaceReports0)
{
    if (!CanRunAsOtherUsers()) GTEST_SKIP() << "runs as another host user need root";
    const std::string whole = Reference(*this, &SignalMoments::RunAt);
    ASSERT_FALSE(whole.empty());
    fs::remove(Out());
    h.OpenToAllUsers();
    const std::string settings = SettingsFile(h);
    // The run's line (the caller fixes the path, so none is remembered).
    const std::string line = ReadFile(settings);
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(::chown(settings.c_str(), 2201, 2201), 0);
    ASSERT_EQ(::chmod(settings.c_str(), 0666), 0);
    const RunHarness::HostUser user{2202, 2202, {}, 022};
    h.RunAs(&user);
    Moment m;
    m.call = "write";
    m.match = "Settings";
    const MomentRun run = RunAt(m, kExport);
    EXPECT_EQ(run.r.endSignal, SIGTERM) << Brief(run.r);
    EXPECT_EQ(run.caller, Notified(7, 0)) << Brief(run.r);
    EXPECT_EQ(ReadFile(Out()), whole);
    struct stat st {};
    ASSERT_EQ(::stat(settings.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 2201u);  // rewritten in place, not replaced
    EXPECT_NE(ReadFile(settings).find(line), std::string::npos);
}

// A signal ignored when the process started (nohup) stays ignored: the run
// goes to its end.
TEST_F(SignalMoments, ASignalIgnoredAtTheStartIsNeverTaken)
{
    h.IgnoreAtStart({SIGHUP});
    Moment m;
    m.signal = SIGHUP;
    m.call = "write";
    m.at = 3;
    m.match = "out.xml";
    m.pauseMs = 0;
    const MomentRun run = RunAt(m, kExport);
    EXPECT_EQ(run.r.endSignal, 0) << Brief(run.r);
    EXPECT_EQ(run.r.exitStatus, 0) << Brief(run.r);
    EXPECT_EQ(run.caller, Notified(7, 0)) << Brief(run.r);
    EXPECT_TRUE(fs::exists(Out()));
}

// A signal during the run's own ending (at the first datagram of the
// caller's release) lets that ending finish with the run's own result, told
// once, and then ends the process by the signal; also when the signal thread
// is slow to record what it took.
TEST_F(SignalMoments, ASignalDuringTheRunsOwnEndingKeepsItsResultAndEndsTheProcess)
{
    struct Case {
        const char* script;
        int result;
        bool slowSignalThread;
    };
    for (const Case& c : {Case{"key ESCAPE\nanswer OK\n", 1, false}, Case{kExport, 0, false},
                          Case{kExport, 0, true}}) {
        SCOPED_TRACE(std::string(c.script) + (c.slowSignalThread ? " slow" : ""));
        fs::remove(Out());
        Moment m;
        m.call = "sendto";
        m.at = 2;
        m.pauseMs = 0;
        if (c.slowSignalThread) {
            m.delayCall = "sigwait";
            m.delayMs = 500;
        }
        const MomentRun run = RunAt(m, c.script);
        EXPECT_EQ(run.r.endSignal, SIGTERM) << Brief(run.r);
        EXPECT_EQ(run.caller, Notified(7, c.result)) << Brief(run.r);
    }
}

// Races widened by the shim: the run's thread is at an effect when the
// signal's ending begins. The ending waits for that effect and holds the
// thread after it: the caller's "disable" arrives before the ending's release
// (else the caller would be left disabled), and an output opened while the
// ending runs is the run's and removed (the ending is made slow at its
// datagrams, so an open that was not held would come in the middle of it).
TEST_F(SignalMoments, TheEffectUnderWayFinishesFirstAndTheNextIsHeld)
{
    Moment disable;
    disable.call = "sendto";
    disable.at = 1;
    const MomentRun atDisable = RunAt(disable, kExport);
    EXPECT_EQ(atDisable.r.endSignal, SIGTERM) << Brief(atDisable.r);
    EXPECT_EQ(atDisable.caller, Notified(7, 2)) << Brief(atDisable.r);

    Moment open;
    open.call = "openat";
    open.match = "out.xml";
    open.delayCall = "sendto";
    open.delayMs = 300;
    const MomentRun atOpen = RunAt(open, kExport);
    ExpectEndedWithoutOutput(atOpen, SIGTERM);
    EXPECT_FALSE(fs::exists(Out()));
}

}  // namespace
