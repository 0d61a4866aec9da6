// The window functions' display driver: the seven calls by which the window
// registry and the window functions tell whatever shows the windows what
// happened to them, and ask it for a message box's answer. win32 defines the
// interface and holds the current driver; the layer above that shows the
// windows (ui, through its running backend) installs one. win32 never calls
// up into that layer.
//
// Until a driver is installed the calls go to a driver of no display: the
// notices go nowhere and a message box gets the answer that cancels it (as
// when nobody is there to answer). A process that has the ui layer installs
// its driver before its first window exists (ui::Backends).
//
// Every call comes on the one GUI thread. ControlChanged, Repaint and Raise
// are called very often (a run can step a progress bar a million times) and
// must cost next to nothing.
#pragma once

#include "win32/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace win {

// What changed on a window, for ControlChanged.
enum class Change {
    Text,       // window text (a top-level window's caption)
    Enabled,
    Visible,    // of a child control; top-level windows use WindowShown
    Check,      // button check state
    Focus,      // the window gained or lost the keyboard focus
    Selection,  // edit selection
    Progress,   // progress bar range, position or step
    Style,
    ToolTip,    // a control's tooltip text
};

struct MessageBoxRequest {
    HWND owner = nullptr;  // a framework window, a foreign window, or none
    std::string text;
    std::string caption;
    UINT type = 0;         // MB_ buttons, icon and default-button bits

    // The buttons of a box type (MB_OK ...), in the system's order.
    static std::vector<int> ButtonsOf(UINT type);
    // The answer that cancels a box of `type`: Cancel, else No, else the only
    // button (OK; Abort for Abort/Retry/Ignore).
    static int CancellingAnswer(UINT type);
};

class WindowDriver {
public:
    // A top-level window became visible or hidden (ShowWindow, a modal dialog
    // opening, EndDialog hiding it).
    virtual void WindowShown(HWND window, bool shown) = 0;
    // A top-level window is about to be destroyed.
    virtual void WindowDestroyed(HWND window) = 0;
    // A window's state changed. Called only when a value really changed.
    virtual void ControlChanged(HWND hwnd, Change what) = 0;
    // Shows a message box and returns the button chosen (IDOK, IDYES, ...).
    virtual int MessageBox(const MessageBoxRequest& request) = 0;
    // Synchronous repaint of a top-level window (UpdateWindow).
    virtual void Repaint(HWND window) = 0;
    // BringWindowToTop / SetForegroundWindow on a window of ours.
    virtual void Raise(HWND window) = 0;
    // Something was done to a foreign window (the caller's): `event` is the
    // caller endpoint's event text; `delivered` tells whether an endpoint
    // received it.
    virtual void CallerEvent(uint32_t hwnd, const std::string& event, bool delivered) = 0;

    // Installs `driver` (not owned; it must outlive its use); null puts the
    // driver of no display back.
    static void Install(WindowDriver* driver);
    // The installed driver, or the driver of no display.
    static WindowDriver& Current();

protected:
    ~WindowDriver() = default;
};

}  // namespace win
