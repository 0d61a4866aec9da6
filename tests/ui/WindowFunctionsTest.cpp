// The window functions on the process's own windows and on foreign ones, and
// what the script backend's transcript shows of them.
#include "../support/ScriptRun.h"
#include "tests/support/TestTemp.h"
#include "ui/WaitCursor.h"
#include "ui/Backends.h"
#include "ui/Input.h"
#include "win32/CallerListener.h"
#include "win32/Windows.h"

#include <gtest/gtest.h>

#include <time.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string U8(const char* cp932) { return mbcs::Cp932ToUtf8(cp932); }

HMENU Id(int id) { return reinterpret_cast<HMENU>(static_cast<intptr_t>(id)); }

// A dialog window of the system's class with an edit and two progress bars.
struct Window {
    HWND dlg;
    HWND edit;
    HWND bar;
    HWND sub;
    Window()
    {
        dlg = CreateWindowExA(0, "#32770", "集計中", WS_POPUP | WS_CAPTION, 0, 0, 221, 44, nullptr, nullptr, nullptr,
                              nullptr);
        edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 5, 5, 50, 12, dlg, Id(10), nullptr,
                               nullptr);
        bar = CreateWindowExA(0, "msctls_progress32", "Progress1", WS_CHILD | WS_VISIBLE, 5, 6, 211, 22, dlg, Id(1019),
                              nullptr, nullptr);
        sub = CreateWindowExA(0, "msctls_progress32", "Progress1", WS_CHILD | WS_VISIBLE, 5, 29, 211, 10, dlg,
                              Id(1024), nullptr, nullptr);
    }
    ~Window() { DestroyWindow(dlg); }
};

TEST(WindowFunctions, ProgressBarMessages)
{
    ScriptRun run("");
    Window w;
    HWND bar = w.bar;
    // Defaults: range 0 to 100, step 10.
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 1000)), MAKELONG(0, 100));
    EXPECT_EQ(SendMessageA(bar, PBM_SETSTEP, 1, 0), 10);
    EXPECT_EQ(SendMessageA(bar, PBM_SETPOS, 998, 0), 0);
    // DELTAPOS returns the previous position and stops at the maximum.
    EXPECT_EQ(SendMessageA(bar, PBM_DELTAPOS, 1, 0), 998);
    EXPECT_EQ(SendMessageA(bar, PBM_DELTAPOS, 5, 0), 999);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 1000);
    // SETPOS clamps to the range; SETRANGE32 keeps the position inside it.
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(-5), 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 0);
    SendMessageA(bar, PBM_SETRANGE32, 10, 20);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 10);
    PBRANGE range{};
    SendMessageA(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 10);
    EXPECT_EQ(range.iHigh, 20);
    // STEPIT past the end starts over.
    SendMessageA(bar, PBM_SETSTEP, 4, 0);
    SendMessageA(bar, PBM_SETPOS, 18, 0);
    EXPECT_EQ(SendMessageA(bar, PBM_STEPIT, 0, 0), 18);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 12);
}

TEST(WindowFunctions, ProgressCaptionsAreWrittenWithTheBarsAndCostLittle)
{
    ScriptRun run("");
    Window w;
    SendMessageA(w.bar, PBM_SETRANGE, 0, MAKELPARAM(0, 1000));
    SendMessageA(w.sub, PBM_SETRANGE, 0, MAKELPARAM(0, 10));
    // Hidden: nothing is shown.
    SetWindowTextA(w.dlg, "集計中 0％");
    ShowWindow(w.dlg, SW_SHOW);
    // (<chrono> cannot be compiled with this project's execution character set.)
    auto now = [] {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
    };
    double start = now();
    for (int i = 0; i <= 1000; ++i) {
        if (i % 10 == 0) {
            char caption[32];
            std::snprintf(caption, sizeof caption, "集計中 %d％", i / 10);
            SetWindowTextA(w.dlg, caption);
        }
        SendMessageA(w.bar, PBM_DELTAPOS, 1, 0);
        for (int k = 0; k < 11; ++k) {
            SendMessageA(w.sub, PBM_DELTAPOS, 1, 0);
            BringWindowToTop(w.dlg);
            SetForegroundWindow(w.dlg);
            UpdateWindow(w.dlg);
        }
        SendMessageA(w.sub, PBM_SETPOS, 0, 0);
    }
    // A million more ticks with no caption change write nothing.
    for (int i = 0; i < 1000000; ++i) SendMessageA(w.sub, PBM_DELTAPOS, 1, 0);
    double seconds = now() - start;
    EXPECT_LT(seconds, 5.0);
    ShowWindow(w.dlg, SW_HIDE);
    std::string t = run.Transcript();
    EXPECT_NE(t.find("open window:"), std::string::npos) << t;
    EXPECT_NE(t.find(" modeless caption \"" + U8("集計中 0％") + "\""), std::string::npos) << t;
    // The caption line of 50 % shows the bars as they stood when it was set.
    EXPECT_NE(t.find("\"" + U8("集計中 50％") + "\" 1019=500 1024=0"), std::string::npos) << t;
    EXPECT_NE(t.find("\"" + U8("集計中 100％") + "\" 1019=1000"), std::string::npos) << t;
    // One caption line per change (the first was set while hidden), the
    // final positions when the window is hidden, and nothing per tick.
    size_t lines = 0, captions = 0;
    for (size_t p = 0; (p = t.find('\n', p)) != std::string::npos; ++p) ++lines;
    for (size_t p = 0; (p = t.find("\ncaption ", p)) != std::string::npos; ++p) ++captions;
    EXPECT_EQ(captions, 100u);
    EXPECT_LT(lines, 120u);
    EXPECT_NE(t.find("  changed 1024 msctls_progress32 \"Progress1\" pos=10 range=0-10"), std::string::npos) << t;
    EXPECT_NE(t.find("\nhide window:"), std::string::npos) << t;
}

TEST(WindowFunctions, EditTextSelectionAndLimit)
{
    ScriptRun run("");
    Window w;
    HWND e = w.edit;
    SetWindowTextA(e, "ソ表abc");  // both double-byte characters end in 0x5C
    char buf[16];
    // A buffer too short for the second double-byte character gets the first only.
    EXPECT_EQ(GetWindowTextA(e, buf, 4), 2);
    EXPECT_STREQ(buf, "ソ");
    EXPECT_EQ(GetWindowTextLengthA(e), 7);
    SendMessageA(e, EM_SETSEL, 0, -1);
    DWORD a = 0, b = 0;
    SendMessageA(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(b, 7u);
    SendMessageA(e, EM_SETSEL, 4, 5);
    SendMessageA(e, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("XY"));
    GetWindowTextA(e, buf, sizeof buf);
    EXPECT_STREQ(buf, "ソ表XYbc");
    EXPECT_EQ(SendMessageA(e, EM_GETSEL, 0, 0), MAKELONG(6, 6));
    // Typing stops at the limit; a double-byte character that does not fit whole is refused.
    SendMessageA(e, EM_LIMITTEXT, 9, 0);
    SetFocus(e);
    SendMessageA(e, EM_SETSEL, 8, 8);
    ui::Input::TypeChars("表Z");
    GetWindowTextA(e, buf, sizeof buf);
    EXPECT_STREQ(buf, "ソ表XYbcZ");
    // Backspace removes a double-byte character whole.
    SendMessageA(e, EM_SETSEL, 4, 4);
    ui::Input::TypeChars("\b");
    GetWindowTextA(e, buf, sizeof buf);
    EXPECT_STREQ(buf, "ソXYbcZ");
}

TEST(WindowFunctions, ForeignWindowsGoToTheCallerEndpoint)
{
    ScriptRun run("");
    HWND caller = HwndFromValue(0x00012345);
    HWND other = HwndFromValue(0x00054321);
    EXPECT_TRUE(IsWindow(caller));
    EXPECT_TRUE(IsWindowEnabled(caller));
    {
        CallerListener listener(0x00012345);
        ASSERT_TRUE(listener.IsBound());
        EXPECT_EQ(EnableWindow(caller, FALSE), FALSE);  // it was enabled
        EXPECT_FALSE(IsWindowEnabled(caller));
        EXPECT_TRUE(SetForegroundWindow(caller));
        EXPECT_TRUE(PostMessageA(caller, 0x8123, 5, -1));
        EXPECT_EQ(EnableWindow(caller, TRUE), TRUE);  // it was disabled
        EXPECT_EQ(listener.ReceiveText(1000).value_or(""), "disable");
        EXPECT_EQ(listener.ReceiveText(1000).value_or(""), "foreground");
        EXPECT_EQ(listener.ReceiveText(1000).value_or(""), "post 33059 5 -1");
        EXPECT_EQ(listener.ReceiveText(1000).value_or(""), "enable");
    }
    EnableWindow(other, FALSE);
    // Our own destroyed windows are no windows; foreign ones have no text of ours.
    HWND mine = CreateWindowExA(0, "#32770", "x", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(mine);
    EXPECT_FALSE(IsWindow(mine));
    EXPECT_FALSE(IsWindow(nullptr));
    char buf[8] = "zz";
    EXPECT_EQ(GetWindowTextA(caller, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
    std::string t = run.Transcript();
    EXPECT_NE(t.find("caller foreign:0x00012345 \"disable\" delivered"), std::string::npos) << t;
    EXPECT_NE(t.find("caller foreign:0x00012345 \"post 33059 5 -1\" delivered"), std::string::npos) << t;
    EXPECT_NE(t.find("caller foreign:0x00054321 \"disable\" recorded and dropped"), std::string::npos) << t;
}

TEST(WindowFunctions, PostedMessagesWaitForThePump)
{
    ScriptRun run("");
    Window w;
    PostMessageA(w.bar, PBM_SETPOS, 40, 0);
    EXPECT_EQ(SendMessageA(w.bar, PBM_GETPOS, 0, 0), 0);
    ui::Input::Pump();
    EXPECT_EQ(SendMessageA(w.bar, PBM_GETPOS, 0, 0), 40);
    // A destroyed window's queued messages are dropped with it.
    HWND gone = CreateWindowExA(0, "msctls_progress32", "", WS_CHILD, 0, 0, 1, 1, w.dlg, Id(7), nullptr, nullptr);
    PostMessageA(gone, PBM_SETPOS, 1, 0);
    DestroyWindow(gone);
    ui::Input::Pump();
    EXPECT_FALSE(PostMessageA(gone, PBM_SETPOS, 1, 0));
}

TEST(WindowFunctions, WaitCursorIsWrittenWhenItChanges)
{
    ScriptRun run("");
    WaitCursor::Begin();
    WaitCursor::Begin();
    WaitCursor::End();
    WaitCursor::End();
    std::string t = run.Transcript();
    EXPECT_NE(t.find("wait-cursor on\nwait-cursor off\n"), std::string::npos) << t;
}

TEST(Backends, MissingBackendFallsBackToTheScriptBackend)
{
    ScriptRun run("");
    ::setenv("ZELKOR_BACKEND", "nonesuch", 1);
    PlatformConfig::Reload();
    ::testing::internal::CaptureStderr();
    ui::Backend& b = ui::Backends::Start();
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_STREQ(b.Name(), "script");
    EXPECT_NE(err.find("\"nonesuch\" is not available"), std::string::npos) << err;
    ::setenv("ZELKOR_BACKEND", "script", 1);
    PlatformConfig::Reload();
}

TEST(Backends, AWindowFunctionWithNoBackendRunningStartsTheConfiguredOne)
{
    // Set up by hand, without ScriptRun's start: run on its own (as ctest
    // runs it), no backend has been started in this process before.
    const std::string dir = testtemp::Make("zk_ui_");
    std::ofstream(dir + "/script.txt", std::ios::binary) << "answer yes\n";
    ::setenv("ZELKOR_HOME", dir.c_str(), 1);
    ::setenv("ZELKOR_BACKEND", "script", 1);
    ::setenv("ZELKOR_SCRIPT", (dir + "/script.txt").c_str(), 1);
    ::setenv("ZELKOR_TRANSCRIPT", (dir + "/transcript.txt").c_str(), 1);
    PlatformConfig::Reload();
    ui::Backends::Stop();
    // The window functions' driver starts the configured backend, which reads
    // the script: its answer, not the one that cancels (No).
    EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_YESNO), IDYES);
    ui::Backends::Stop();
    std::ifstream in(dir + "/transcript.txt", std::ios::binary);
    std::ostringstream t;
    t << in.rdbuf();
    EXPECT_NE(t.str().find("message owner=none caption=\"c\" icon=none buttons=YES,NO text=\"q\" answer=YES"),
              std::string::npos)
        << t.str();
    ::setenv("ZELKOR_SCRIPT", "", 1);
    ::setenv("ZELKOR_TRANSCRIPT", "/dev/null", 1);
    PlatformConfig::Reload();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

TEST(Backends, ScriptErrorsAreReportedAndSkipped)
{
    ::testing::internal::CaptureStderr();
    ScriptRun run("# a comment\n"
                  "\n"
                  "frobnicate 3\n"
                  "key CTRL+WHAT\n"
                  "answer MAYBE\n"
                  "click\n"
                  "answer yes\n");
    std::string err = ::testing::internal::GetCapturedStderr();
    // The one good action is answered by the next message box.
    EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_YESNO), IDYES);
    std::string t = run.Transcript();
    EXPECT_NE(t.find("script-error line 3: unknown action: frobnicate 3"), std::string::npos) << t;
    EXPECT_NE(t.find("script-error line 4: unknown key"), std::string::npos) << t;
    EXPECT_NE(t.find("script-error line 5: unknown answer"), std::string::npos) << t;
    EXPECT_NE(t.find("script-error line 6: click needs a control id"), std::string::npos) << t;
    EXPECT_NE(err.find("line 3: unknown action"), std::string::npos) << err;
}

}  // namespace
