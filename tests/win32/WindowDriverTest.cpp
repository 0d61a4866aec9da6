// The window functions' display driver: what an installed driver is told, and
// what happens when none is installed (win32 on its own, nothing above it).
#include "win32/WindowDriver.h"
#include "win32/Windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

HMENU Id(int id) { return reinterpret_cast<HMENU>(static_cast<intptr_t>(id)); }

// Records every call as a line and answers message boxes with `answer`.
class RecordingDriver final : public win::WindowDriver {
public:
    std::vector<std::string> calls;
    win::MessageBoxRequest lastBox;
    int answer = IDRETRY;

    void WindowShown(HWND window, bool shown) override { Add(shown ? "shown " : "hidden ", window); }
    void WindowDestroyed(HWND window) override { Add("destroyed ", window); }
    void ControlChanged(HWND hwnd, win::Change what) override
    {
        Add("changed " + std::to_string(static_cast<int>(what)) + " ", hwnd);
    }
    int MessageBox(const win::MessageBoxRequest& request) override
    {
        lastBox = request;
        calls.push_back("message");
        return answer;
    }
    void Repaint(HWND window) override { Add("repaint ", window); }
    void Raise(HWND window) override { Add("raise ", window); }
    void CallerEvent(uint32_t hwnd, const std::string& event, bool delivered) override
    {
        calls.push_back("caller " + std::to_string(hwnd) + " " + event + (delivered ? " delivered" : " dropped"));
    }

    static std::string Line(const std::string& head, HWND hwnd) { return head + std::to_string(HwndToValue(hwnd)); }

private:
    void Add(const std::string& head, HWND hwnd) { calls.push_back(Line(head, hwnd)); }
};

// Installs a driver for one test and puts the one before back.
class DriverScope {
public:
    explicit DriverScope(win::WindowDriver* driver) : previous_(&win::WindowDriver::Current())
    {
        win::WindowDriver::Install(driver);
    }
    ~DriverScope() { win::WindowDriver::Install(previous_); }

private:
    win::WindowDriver* previous_;
};

TEST(WindowDriver, TheInstalledDriverIsToldWhatTheWindowFunctionsDid)
{
    RecordingDriver driver;
    DriverScope scope(&driver);
    HWND dlg = CreateWindowExA(0, "#32770", "one", WS_POPUP | WS_CAPTION, 0, 0, 100, 40, nullptr, nullptr, nullptr,
                               nullptr);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 5, 5, 50, 12, dlg, Id(10), nullptr,
                                nullptr);
    ASSERT_NE(dlg, nullptr);
    ASSERT_NE(edit, nullptr);
    driver.calls.clear();

    ShowWindow(dlg, SW_SHOW);
    SetWindowTextA(dlg, "two");
    SetWindowTextA(dlg, "two");  // no change, nothing to tell
    EnableWindow(edit, FALSE);
    UpdateWindow(edit);
    BringWindowToTop(edit);
    DestroyWindow(dlg);

    using R = RecordingDriver;
    const std::vector<std::string> expected = {
        R::Line("shown ", dlg),
        R::Line("changed " + std::to_string(static_cast<int>(win::Change::Text)) + " ", dlg),
        R::Line("changed " + std::to_string(static_cast<int>(win::Change::Enabled)) + " ", edit),
        R::Line("repaint ", dlg),
        R::Line("raise ", dlg),
        R::Line("hidden ", dlg),
        R::Line("destroyed ", dlg),
    };
    EXPECT_EQ(driver.calls, expected);
}

TEST(WindowDriver, MessageBoxesAndForeignWindowsGoToTheDriver)
{
    RecordingDriver driver;
    DriverScope scope(&driver);
    EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_RETRYCANCEL | MB_ICONHAND), IDRETRY);
    EXPECT_EQ(driver.lastBox.owner, nullptr);
    EXPECT_EQ(driver.lastBox.text, "text");
    EXPECT_EQ(driver.lastBox.caption, "caption");
    EXPECT_EQ(driver.lastBox.type, static_cast<UINT>(MB_RETRYCANCEL | MB_ICONHAND));

    // A foreign window nobody listens for: the event is told as dropped.
    driver.calls.clear();
    HWND foreign = HwndFromValue(0x00012345u);
    EnableWindow(foreign, FALSE);
    ASSERT_EQ(driver.calls.size(), 1u);
    EXPECT_EQ(driver.calls[0], "caller " + std::to_string(0x00012345u) + " disable dropped");
}

TEST(WindowDriver, WithoutADriverNothingIsShownAndMessageBoxesAreCancelled)
{
    DriverScope scope(nullptr);
    // The answer that cancels: Cancel, else No, else the only button.
    EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_ABORTRETRYIGNORE), IDABORT);
    EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_OK), IDOK);
    // The window functions work on the registry all the same.
    HWND dlg = CreateWindowExA(0, "#32770", "one", WS_POPUP, 0, 0, 100, 40, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(ShowWindow(dlg, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_TRUE(SetWindowTextA(dlg, "two"));
    EXPECT_TRUE(DestroyWindow(dlg));
    EXPECT_FALSE(IsWindow(dlg));
}

}  // namespace
