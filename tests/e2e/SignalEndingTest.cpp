// Termination signals (a closed terminal, kill, Ctrl+C) and a file-size limit
// during a run of a built deliverable: the run ends like an error, promptly,
// with its caller released and told result 2 once, no partial output file and
// no remembered conditions; a write past the size limit fails and ends
// nothing.
#include "RunChecks.h"
#include "RunHarness.h"

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace e2e;

// Journal entries of the large store: enough that the summation lasts well
// beyond the moment the signal is sent.
const int kEntries = 800000;
// What a signalled run may take from the signal to its end.
const long kPromptMs = 5000;

long NowMs()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000L + t.tv_nsec / 1000000L;
}

struct SignalledRun {
    RunResult r;
    std::vector<std::string> caller;
    bool sent = false;
    long endedAfterMs = -1;  // from the signal to the end of the process
};

class SignalEnding : public ::testing::Test {
protected:
    // A run to C:\out.xml that the caller kCaller started; `signal` is sent
    // once the transcript shows `moment`.
    SignalledRun RunSignalled(int signal, const std::string& moment)
    {
        h.WriteScript("type 1008 C:\\out.xml\nkey F12\nanswer OK\n");
        TestCaller caller(kCaller, 5, 15000);
        EXPECT_TRUE(caller.Ready());
        SignalledRun out;
        long sentAt = 0;
        out.r = h.Run({"123456,1024,7,"}, 60000, [&](int pid) {
            if (out.sent || ReadFile(h.TranscriptPath()).find(moment) == std::string::npos) return;
            kill(pid, signal);
            out.sent = true;
            sentAt = NowMs();
        });
        if (out.sent) out.endedAfterMs = NowMs() - sentAt;
        out.caller = caller.Finish();
        return out;
    }

    // What every signalled run must show.
    void ExpectEndedLikeAnError(const SignalledRun& run, int signal)
    {
        ASSERT_TRUE(run.sent) << Brief(run.r);
        EXPECT_EQ(run.r.endSignal, signal) << Brief(run.r);
        EXPECT_LT(run.endedAfterMs, kPromptMs);
        EXPECT_EQ(run.caller, Notified(7, 2)) << Brief(run.r);
        EXPECT_FALSE(fs::exists(h.DriveC("out.xml")));
        EXPECT_FALSE(fs::exists(SettingsFile(h)));
        EXPECT_EQ(Count(run.r.transcript, "message "), 0) << Brief(run.r);
    }

    RunHarness h;
};

std::string SignalName(int signal)
{
    return signal == SIGTERM ? "SIGTERM" : signal == SIGINT ? "SIGINT" : "SIGHUP";
}

// A store whose summation lasts, so that the run is still under way when the
// signal comes: each signal once the conditions dialog is shown (the script
// backend does not wait there, so the signal meets the run in the dialog or
// at the start of the aggregation) and once the aggregation has begun, while
// it reads the journal inside the store's queries.
TEST_F(SignalEnding, EachSignalInTheDialogAndDuringTheSummationOfALargeStore)
{
    h.BuildHome({"corp-general"}, 1);
    h.ExecSql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
              std::to_string(kEntries) +
              ") INSERT INTO journal (data_no, entry_date, month_kind, dr_account, dr_amount, dr_tax, dr_tax_code,"
              " dr_rate, cr_account, cr_amount, cr_tax, cr_tax_code, cr_rate)"
              " SELECT 1, 20240401 + (i % 28), 1 + (i % 12), 100, i, 1, 1, 1000, 200, i, 1, 21, 1000 FROM n");
    for (const char* moment : {"open dialog:130", "wait-cursor on"}) {
        for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
            SCOPED_TRACE(SignalName(signal) + " at " + moment);
            const SignalledRun run = RunSignalled(signal, moment);
            ExpectEndedLikeAnError(run, signal);
            // The run had not got through the aggregation: its progress
            // dialog never hid.
            EXPECT_EQ(Count(run.r.transcript, "hide dialog:131"), 0) << Brief(run.r);
        }
    }
}

// The file-size limit with the transcript and standard error regular files:
// the transcript's writes past the limit fail, and the run goes on to its
// own ending (here the user's キャンセル), its caller told once.
TEST_F(SignalEnding, FileSizeLimitFailsTheTranscriptWritesAndEndsNothing)
{
    h.BuildHome({"corp-general"}, 1);
    h.WriteScript("key ESCAPE\nanswer OK\n");
    h.LimitFileSize(1024);
    h.TranscriptToFileUnderLimit();
    const CalledRun run = RunCalled(h);
    EXPECT_EQ(run.r.endSignal, 0) << run.r.stderrText;
    EXPECT_EQ(run.r.exitStatus, 0) << run.r.stderrText;
    EXPECT_EQ(run.caller, Notified(7, 1));
    // The transcript was cut at the limit: the run wrote more than it holds.
    EXPECT_EQ(fs::file_size(h.TranscriptPath()), 1024u);
    EXPECT_EQ(Count(run.r.transcript, "end dialog:130"), 0);
}

}  // namespace
