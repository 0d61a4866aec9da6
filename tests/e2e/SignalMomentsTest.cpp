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

const char kExport[] = "type 1008 C:\\out.xml\nkey F12\nanswer OK\n";
// Saved-values mode (the mode's radio button, then the path).
const char kSavedValuesExport[] = "click 1003\ntype 1008 C:\\out.xml\nkey F12\nanswer OK\n";

class SignalMoments : public ::testing::Test {
protected:
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

    // The run ended by the signal with result 2 and no file of its own left.
    void ExpectEndedWithoutOutput(const MomentRun& run, int signal)
    {
        EXPECT_EQ(run.r.endSignal, signal) << Brief(run.r);
        EXPECT_EQ(run.caller, Notified(7, 2)) << Brief(run.r);
        EXPECT_FALSE(fs::exists(SettingsFile(h)));
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

}  // namespace
