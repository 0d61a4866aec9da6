// The termination signals as control events and the gate of the process's
// ending: which handlers run, on which event, who may still act once a
// signal's ending has begun, and that the run's own ending excludes it.
#include "win32/ControlEvents.h"
#include "win32/HostWrite.h"
#include "win32/Kernel.h"
#include "win32/ProcessEnding.h"

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

using win::ControlEvents;
using win::ProcessEnding;

namespace {

std::vector<std::string> g_calls;

BOOL Declines(DWORD event)
{
    g_calls.push_back("declines " + std::to_string(event));
    return FALSE;
}

BOOL Handles(DWORD event)
{
    g_calls.push_back("handles " + std::to_string(event));
    return TRUE;
}

// Writes through the host write while the ending runs on this thread.
int g_writeFd = -1;
int g_writeResult = -1;
BOOL WritesDuringTheEnding(DWORD)
{
    g_writeResult = hostio::WriteAll(g_writeFd, "x", 1);
    return TRUE;
}

class ControlEventsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProcessEnding::ResetForTesting();
        g_calls.clear();
    }
    void TearDown() override
    {
        for (PHANDLER_ROUTINE h : added) SetConsoleCtrlHandler(h, FALSE);
        ProcessEnding::ResetForTesting();
    }
    void Add(PHANDLER_ROUTINE h)
    {
        ASSERT_TRUE(SetConsoleCtrlHandler(h, TRUE));
        added.push_back(h);
    }
    std::vector<PHANDLER_ROUTINE> added;
};

TEST_F(ControlEventsTest, EachSignalIsItsControlEvent)
{
    EXPECT_EQ(ControlEvents::EventOfSignal(SIGINT), static_cast<unsigned long>(CTRL_C_EVENT));
    EXPECT_EQ(ControlEvents::EventOfSignal(SIGHUP), static_cast<unsigned long>(CTRL_CLOSE_EVENT));
    EXPECT_EQ(ControlEvents::EventOfSignal(SIGTERM), static_cast<unsigned long>(CTRL_SHUTDOWN_EVENT));
}

TEST_F(ControlEventsTest, HandlersRunLastAddedFirstUntilOneHandlesTheEvent)
{
    Add(&Handles);   // never reached: the one added after it handles the event
    Add(&Handles);
    Add(&Declines);
    EXPECT_TRUE(ControlEvents::HandleSignal(SIGHUP));
    EXPECT_EQ(g_calls, (std::vector<std::string>{"declines 2", "handles 2"}));
    EXPECT_EQ(ProcessEnding::Current(), ProcessEnding::State::SignalEnding);
    EXPECT_TRUE(ProcessEnding::IsEndingThread());
    bool elsewhere = true;
    std::thread([&] { elsewhere = ProcessEnding::IsEndingThread(); }).join();
    EXPECT_FALSE(elsewhere);
}

TEST_F(ControlEventsTest, AddingAndRemovingHandlers)
{
    EXPECT_FALSE(SetConsoleCtrlHandler(nullptr, TRUE));
    EXPECT_FALSE(SetConsoleCtrlHandler(&Handles, FALSE));  // never added
    ASSERT_TRUE(SetConsoleCtrlHandler(&Declines, TRUE));
    ASSERT_TRUE(SetConsoleCtrlHandler(&Declines, FALSE));
    Add(&Handles);
    EXPECT_TRUE(ControlEvents::HandleSignal(SIGTERM));
    EXPECT_EQ(g_calls, (std::vector<std::string>{"handles 6"}));
}

TEST_F(ControlEventsTest, OnceTheRunsOwnEndingHasBegunNoHandlerRuns)
{
    Add(&Handles);
    ProcessEnding::BeginOwnEnding();
    EXPECT_FALSE(ControlEvents::HandleSignal(SIGINT));
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(ProcessEnding::Current(), ProcessEnding::State::OwnEnding);
    EXPECT_FALSE(ProcessEnding::BeginSignalEnding());
}

TEST_F(ControlEventsTest, OnlyOneSignalEndingBegins)
{
    EXPECT_TRUE(ProcessEnding::BeginSignalEnding());
    EXPECT_FALSE(ProcessEnding::BeginSignalEnding());
}

TEST_F(ControlEventsTest, TheEndingThreadStillWrites)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    g_writeFd = fds[1];
    Add(&WritesDuringTheEnding);
    EXPECT_TRUE(ControlEvents::HandleSignal(SIGTERM));
    EXPECT_EQ(g_writeResult, 0);
    char c = 0;
    EXPECT_EQ(read(fds[0], &c, 1), 1);
    close(fds[0]);
    close(fds[1]);
}

// Another thread is held at its next write once a signal's ending has begun:
// in a child, the ending begins on a thread of its own, and the main thread's
// write must never reach the pipe the ending thread watches (for a second,
// generously more than a write takes).
TEST(ProcessEndingDeathTest, AnotherThreadIsHeldAtItsNextWrite)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ProcessEnding::ResetForTesting();
            int fds[2];
            if (pipe(fds) != 0) _exit(2);
            int began[2];
            if (pipe(began) != 0) _exit(2);
            std::thread([&] {
                if (!ProcessEnding::BeginSignalEnding()) _exit(3);
                char one = 1;
                if (write(began[1], &one, 1) != 1) _exit(2);
                pollfd p{fds[0], POLLIN, 0};
                _exit(poll(&p, 1, 1000) == 0 ? 0 : 1);
            }).detach();
            char one = 0;
            if (read(began[0], &one, 1) != 1) _exit(2);
            hostio::WriteAll(fds[1], "late", 4);
            _exit(4);  // the write returned: the gate let it through
        },
        ::testing::ExitedWithCode(0), "");
}

// A SIGUSR2 that another process sends (the signal thread's own stop signal)
// does not stop the signal thread: a termination signal after it still ends
// the process, by that signal, at once.
TEST(ProcessEndingDeathTest, AnotherProcesssSigusr2LeavesTheTerminationSignalsTaken)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ProcessEnding::ResetForTesting();
            ControlEvents::Start();
            kill(getpid(), SIGUSR2);
            kill(getpid(), SIGTERM);
            for (int i = 0; i < 100; ++i) usleep(100 * 1000);
            _exit(5);  // the termination signal was never taken
        },
        ::testing::KilledBySignal(SIGTERM), "");
}

}  // namespace
