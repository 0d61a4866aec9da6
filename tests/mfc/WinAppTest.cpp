#include "mfc/Afx.h"
#include "ui/WaitCursor.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// An application that records what the framework did with it.
class RecordingApp : public CWinApp {
public:
    explicit RecordingApp(BOOL initResult = TRUE, bool throwInInit = false)
        : m_initResult(initResult), m_throwInInit(throwInInit) {}
    BOOL InitInstance() override
    {
        m_calls.push_back("InitInstance");
        m_cmdLineSeen = m_lpCmdLine;
        m_helpSeen = m_pszHelpFilePath;
        if (m_throwInInit) throw -1;
        return m_initResult;
    }
    int ExitInstance() override
    {
        m_calls.push_back("ExitInstance");
        return CWinApp::ExitInstance();
    }
    std::vector<std::string> m_calls;
    std::string m_cmdLineSeen;
    std::string m_helpSeen;

private:
    BOOL m_initResult;
    bool m_throwInInit;
};

std::vector<std::string> g_backendLog;
void RecordBackendStart()
{
    RecordingApp* app = static_cast<RecordingApp*>(AfxGetApp());
    g_backendLog.push_back(app->m_calls.empty() ? "before" : "after");
}

}  // namespace

TEST(WinApp, CommandLineJoinsArgumentsWithOneBlank)
{
    char a0[] = "/opt/zk/Zelkora", a1[] = "123456,1024,7,C:\\My", a2[] = "Data\\a,b.xml";
    char* argv[] = {a0, a1, a2, nullptr};
    EXPECT_STREQ(AfxJoinCommandLine(3, argv), "123456,1024,7,C:\\My Data\\a,b.xml");
    EXPECT_STREQ(AfxJoinCommandLine(1, argv), "");

    // Host arguments are UTF-8; the program sees code page 932.
    std::string utf8 = mbcs::Cp932ToUtf8("1,2,3,C:\\消費税\\出力.xml");
    std::vector<char> arg(utf8.begin(), utf8.end());
    arg.push_back('\0');
    char* argv2[] = {a0, arg.data(), nullptr};
    EXPECT_STREQ(AfxJoinCommandLine(2, argv2), "1,2,3,C:\\消費税\\出力.xml");
    // Bytes that are no UTF-8 are taken as they are.
    char sjis[] = "\x95\x5C";
    char* argv3[] = {a0, sjis, nullptr};
    EXPECT_STREQ(AfxJoinCommandLine(2, argv3), "\x95\x5C");
}

TEST(WinApp, HelpFileLiesInTheProgramsFolder)
{
    RecordingApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_STREQ(app.m_lpCmdLine, "");
    EXPECT_STREQ(app.m_pszHelpFilePath, "");

    app.SetProgramPath("C:\\Program Files\\\x95\x5C\\Zelkora.exe");
    EXPECT_STREQ(app.m_pszExeName, "Zelkora");
    EXPECT_STREQ(app.m_pszAppName, "Zelkora");
    EXPECT_STREQ(app.m_pszHelpFilePath, "C:\\Program Files\\\x95\x5C\\Zelkora.HLP");
    app.SetProgramPath("Z:\\opt\\zk\\Zelkorb");
    EXPECT_STREQ(app.m_pszHelpFilePath, "Z:\\opt\\zk\\Zelkorb.HLP");
    EXPECT_STREQ(AfxGetAppName(), "Zelkorb");

    CWinApp named("消費税連動");
    EXPECT_EQ(AfxGetApp(), &named);
    named.SetProgramPath("Z:\\x\\Zelkorc");
    EXPECT_STREQ(named.m_pszAppName, "消費税連動");
    EXPECT_STREQ(named.m_pszExeName, "Zelkorc");
}

TEST(WinApp, LaterAppObjectGivesWayToTheEarlierOne)
{
    RecordingApp outer;
    {
        RecordingApp inner;
        EXPECT_EQ(AfxGetApp(), &inner);
    }
    EXPECT_EQ(AfxGetApp(), &outer);
}

TEST(WinApp, EntryRunsInitThenExitWithTheRecordedCommandLine)
{
    RecordingApp app;
    g_backendLog.clear();
    char a0[] = "Zelkora", a1[] = "42,1025,-1,", a2[] = "tail";
    char* argv[] = {a0, a1, a2, nullptr};
    EXPECT_EQ(AfxWinMain(3, argv, &RecordBackendStart), 0);
    EXPECT_EQ(app.m_calls, (std::vector<std::string>{"InitInstance", "ExitInstance"}));
    EXPECT_EQ(g_backendLog, std::vector<std::string>{"before"});
    EXPECT_EQ(app.m_cmdLineSeen, "42,1025,-1, tail");

    // The help file sits next to this very executable, named after it.
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    std::string host(exe, static_cast<size_t>(n));
    std::string expected = "Z:" + host.substr(0, host.find_last_of('/') + 1) + "test_mfc.HLP";
    for (char& c : expected)
        if (c == '/') c = '\\';
    EXPECT_EQ(app.m_helpSeen, expected);
    EXPECT_STREQ(app.m_pszExeName, "test_mfc");
}

TEST(WinApp, ExitInstanceFollowsEveryEnding)
{
    char a0[] = "Zelkora";
    char* argv[] = {a0, nullptr};
    {
        RecordingApp refused(FALSE);
        EXPECT_EQ(AfxWinMain(1, argv, nullptr), 0);
        EXPECT_EQ(refused.m_calls, (std::vector<std::string>{"InitInstance", "ExitInstance"}));
    }
    {
        // An exception nothing handled still releases the caller through ExitInstance.
        RecordingApp thrower(TRUE, true);
        testing::internal::CaptureStderr();
        EXPECT_EQ(AfxWinMain(1, argv, nullptr), 3);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("exception"), std::string::npos);
        EXPECT_EQ(thrower.m_calls, (std::vector<std::string>{"InitInstance", "ExitInstance"}));
    }
}

TEST(WaitCursor, NestsAndTellsTheListenerOnChanges)
{
    WaitCursor::Reset();
    std::vector<bool> shown;
    WaitCursor::SetListener([&](bool on) { shown.push_back(on); });
    RecordingApp app;
    app.BeginWaitCursor();
    app.BeginWaitCursor();
    EXPECT_TRUE(WaitCursor::IsOn());
    EXPECT_EQ(WaitCursor::Depth(), 2);
    app.EndWaitCursor();
    EXPECT_TRUE(WaitCursor::IsOn());
    app.RestoreWaitCursor();
    app.EndWaitCursor();
    EXPECT_FALSE(WaitCursor::IsOn());
    app.EndWaitCursor();  // unmatched: ignored
    app.RestoreWaitCursor();  // off: nothing to restore
    EXPECT_EQ(WaitCursor::Depth(), 0);
    EXPECT_EQ(shown, (std::vector<bool>{true, true, false}));
    WaitCursor::SetListener(nullptr);
}
