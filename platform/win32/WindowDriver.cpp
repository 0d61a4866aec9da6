#include "win32/WindowDriver.h"

#include "win32/User.h"

namespace win {

namespace {

// Nothing shows the windows and nobody answers.
class NoDisplay final : public WindowDriver {
public:
    void WindowShown(HWND, bool) override {}
    void WindowDestroyed(HWND) override {}
    void ControlChanged(HWND, Change) override {}
    int MessageBox(const MessageBoxRequest& request) override
    {
        return MessageBoxRequest::CancellingAnswer(request.type);
    }
    void Repaint(HWND) override {}
    void Raise(HWND) override {}
    void CallerEvent(uint32_t, const std::string&, bool) override {}
};

// Both constant-initialised, so a driver installed during another file's
// static initialisation stays installed.
constinit NoDisplay noDisplay;
constinit WindowDriver* installed = nullptr;

}  // namespace

std::vector<int> MessageBoxRequest::ButtonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

int MessageBoxRequest::CancellingAnswer(UINT type)
{
    std::vector<int> buttons = ButtonsOf(type);
    for (int b : buttons)
        if (b == IDCANCEL) return IDCANCEL;
    for (int b : buttons)
        if (b == IDNO) return IDNO;
    return buttons.front();
}

void WindowDriver::Install(WindowDriver* driver) { installed = driver; }

WindowDriver& WindowDriver::Current() { return installed ? *installed : noDisplay; }

}  // namespace win
