// Inside the window functions: what the window API (User.cpp), the default
// procedures of the system's control classes (ButtonClass.cpp, EditClass.cpp,
// ProgressClass.cpp, DialogClass.cpp) and the dialog keys (DialogKeys.cpp)
// share. Not for the framework or the program, which use User.h.
//
// A static control has no procedure of its own: its text is the generic
// WM_SETTEXT/WM_GETTEXT of DefWindowProcA, and as a label it never takes the
// focus and hands its access key on (DialogKeys.cpp).
#pragma once

#include "win32/WindowDriver.h"
#include "win32/WindowRegistry.h"

#include <cstddef>
#include <string>
#include <vector>

namespace win::user {

inline void Changed(HWND hwnd, Change what) { WindowRegistry::Changed(hwnd, static_cast<int>(what)); }

inline WindowDriver& Driver() { return WindowDriver::Current(); }

// The text cut to at most `max` bytes without splitting a double-byte character.
size_t FitBytes(const std::string& s, size_t max);

// WM_COMMAND with `code` from a child control to its parent.
void NotifyParent(WindowState* w, WORD code);

// The window's text, telling the driver when it changed.
void SetText(WindowState* w, const std::string& text);

// The siblings of a control that form its group: from the nearest control at
// or before it with WS_GROUP up to the next control with WS_GROUP.
std::vector<HWND> GroupOf(WindowState* w);

// A user's (or BM_CLICK's) click on a button: focus, the automatic state
// change, then BN_CLICKED to the parent.
LRESULT ClickButton(WindowState* w);

// The default procedures of the control classes. Each sets `handled` when the
// message is its class's own; DefWindowProcA does the rest.
LRESULT ButtonProc(WindowState* w, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
LRESULT EditProc(WindowState* w, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
LRESULT ProgressProc(WindowState* w, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
LRESULT DialogProc(WindowState* w, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

}  // namespace win::user
