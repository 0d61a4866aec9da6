// The window-system backend: the one thing that shows the framework's windows
// and feeds a user's input back. The framework owns every window and control
// state (win::WindowRegistry); a backend only reflects that state and turns
// what a user does into the input events of ui::Input (text typed, click, key
// with modifiers, close box) or into the answer of a message box or save box.
//
// All texts handed to and from a backend are code page 932, as everywhere in
// the program; a backend converts at its own edge (screen, transcript).
//
// Every call comes on the one GUI thread. Calls that the framework makes very
// often (ControlChanged, Repaint, Raise) must cost next to nothing: a run can
// step a progress bar a million times.
#pragma once

#include "win32/WinTypes.h"
#include "win32/WindowDriver.h"

#include <string>
#include <utility>
#include <vector>

namespace ui {

// The payloads of the window functions' calls (WindowDriver.h), under the
// names the backends use.
using Change = win::Change;
using MessageBoxRequest = win::MessageBoxRequest;

struct SaveBoxRequest {
    HWND owner = nullptr;
    std::string title;        // empty: the system's default title
    std::string initialDir;   // a Windows path, may be empty
    std::string fileName;     // initial file name (may hold wildcards such as "*.xml")
    std::string defaultExt;   // without the dot, may be empty
    std::vector<std::pair<std::string, std::string>> filters;  // (description, pattern)
    DWORD flags = 0;          // OFN_ flags
    bool forOpening = false;  // an open box (the same choice of a path; the program uses save boxes)
};

class Backend {
public:
    virtual ~Backend() = default;

    // Name under which the backend was registered ("script", "fltk").
    virtual const char* Name() const = 0;

    // Called once when the backend becomes the current one, and once when it
    // stops (at process end or when another is started): flush, close windows.
    virtual void Start() {}
    virtual void Stop() {}

    // A top-level window of the framework became visible or hidden (ShowWindow,
    // a modal dialog opening, EndDialog hiding it).
    virtual void WindowShown(HWND window, bool shown) = 0;
    // A top-level window is about to be destroyed.
    virtual void WindowDestroyed(HWND window) { (void)window; }
    // A window's state changed. Called only when a value really changed.
    virtual void ControlChanged(HWND hwnd, Change what) = 0;

    // Runs the modal loop of `dialog` until the framework ends it (EndDialog).
    // Contract: returns only when the dialog is ended. A backend that has no
    // more input for it (script exhausted, display gone) says so and sends the
    // cancel command (ui::Input::CancelCommand); when even that does not end
    // the dialog it ends it with IDCANCEL (ui::Input::ForceEnd).
    virtual void RunModal(HWND dialog) = 0;

    // Shows a message box and returns the button chosen (IDOK, IDYES, ...).
    virtual int MessageBox(const MessageBoxRequest& request) = 0;

    // Shows the save-file box. Returns true with the chosen path (a Windows
    // path as the user typed or picked it; relative to the initial folder
    // when not absolute), false when cancelled. The framework checks the
    // choice (folder exists, default extension, overwrite question) and asks
    // again when the box would have stayed open.
    virtual bool SaveBox(const SaveBoxRequest& request, std::string& chosenPath) = 0;

    // Synchronous repaint of a top-level window (UpdateWindow).
    virtual void Repaint(HWND window) { (void)window; }
    // BringWindowToTop / SetForegroundWindow on a framework window.
    virtual void Raise(HWND window) { (void)window; }

    // The wait cursor went on or off.
    virtual void WaitCursor(bool on) = 0;

    // Something was done to a foreign window (the caller's): `event` is the
    // caller endpoint's event text ("disable", "enable", "foreground",
    // "post <msg> <wParam> <lParam>"); `delivered` tells whether an endpoint
    // received it.
    virtual void CallerEvent(uint32_t hwnd, const std::string& event, bool delivered) = 0;

    // A modal dialog ended with `result` (EndDialog), whether or not it was
    // ever shown.
    virtual void DialogEnded(HWND dialog, INT_PTR result) { (void)dialog; (void)result; }
};

}  // namespace ui
