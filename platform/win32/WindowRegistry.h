// The registry of the process's own windows: every window and control has a
// handle from here and its whole state lives here (text, styles, enabled,
// visible, check state, edit limit and selection, progress range and
// position, dialog result). The window functions (User.h) work on it, the
// framework (CWnd) attaches its window procedure to a handle, and the
// window-system backends read it to show it.
//
// Handles are allocated from a range of their own (HandleBase upwards), so a
// handle outside that range is a foreign window (another process's, known by
// its number only), and a handle inside the range that the registry no longer
// holds is a destroyed window of ours.
#pragma once

#include "win32/User.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace win {

// The framework's side of a window. CWnd implements it.
class WindowHandler {
public:
    // The window procedure: the framework's message map, then default handling.
    virtual LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    // The keyboard pre-translation of the framework (PreTranslateMessage);
    // TRUE when the message was consumed.
    virtual BOOL PreTranslate(MSG* msg) = 0;

protected:
    ~WindowHandler() = default;
};

enum class WindowKind { Window, Dialog, Button, Edit, Static, Progress };

struct WindowState {
    HWND hwnd = nullptr;
    HWND parent = nullptr;   // the parent of a child, the owner of a top-level window
    WindowKind kind = WindowKind::Window;
    std::string className;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units for dialogs and their controls
    bool enabled = true;
    bool visible = false;
    std::vector<HWND> children;        // in creation (tab) order
    WindowHandler* handler = nullptr;

    // Button
    UINT check = BST_UNCHECKED;
    // Edit
    UINT limit = 0x7FFFFFFE;
    int selStart = 0, selEnd = 0;
    unsigned char pendingLead = 0;     // lead byte of a double-byte character being typed
    // Progress bar
    int low = 0, high = 100, pos = 0, step = 10;
    // Dialog
    int templateId = 0;
    std::string fontName;
    int fontSize = 0;
    int defId = 0;                     // DM_SETDEFID; 0: none
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    HWND lastFocus = nullptr;          // focus to restore when the dialog becomes active again
    std::string toolTip;

    bool IsTopLevel() const { return (style & WS_CHILD) == 0; }
    DWORD ButtonType() const { return style & BS_TYPEMASK; }
    bool IsRadio() const
    {
        return kind == WindowKind::Button && (ButtonType() == BS_AUTORADIOBUTTON || ButtonType() == BS_RADIOBUTTON);
    }
    bool IsCheckable() const
    {
        DWORD t = ButtonType();
        return kind == WindowKind::Button && t != BS_PUSHBUTTON && t != BS_DEFPUSHBUTTON && t != BS_GROUPBOX;
    }
    bool IsPushButton() const
    {
        return kind == WindowKind::Button && (ButtonType() == BS_PUSHBUTTON || ButtonType() == BS_DEFPUSHBUTTON);
    }
};

class WindowRegistry {
public:
    static constexpr uint32_t HandleBase = 0x7A000000u;
    static constexpr uint32_t HandleLimit = 0x7B000000u;

    // A window of this process that still exists, or null.
    static WindowState* Find(HWND hwnd);
    // True for a handle from the registry's range (existing or destroyed).
    static bool IsOwnHandle(HWND hwnd);
    static bool IsForeign(HWND hwnd) { return hwnd != nullptr && !IsOwnHandle(hwnd); }

    // Adds a window (state prepared by the caller; its hwnd is assigned) as
    // the last child of its parent, returns its handle.
    static HWND Add(std::unique_ptr<WindowState> state);
    // Removes a window and its children from the registry (no messages).
    static void Remove(HWND hwnd);

    // The next window added gets `handler` before its WM_CREATE, so that the
    // framework sees the creation messages of a window it creates.
    static void HandlerForNextWindow(WindowHandler* handler);
    // A control's tooltip text (shown by the backend; empty: none).
    static void SetToolTip(HWND hwnd, const std::string& text);
    // The top-level window that holds `hwnd` (itself when top-level).
    static HWND TopLevelOf(HWND hwnd);
    static bool IsDescendant(HWND ancestor, HWND hwnd);  // true also when equal

    // Keyboard focus.
    static HWND Focus();
    static void SetFocusRaw(HWND hwnd);  // no checks; sends WM_KILLFOCUS / WM_SETFOCUS

    // State of the modifier keys during the key event being processed.
    static void SetKeyDown(int vk, bool down);
    static bool IsKeyDown(int vk);
    static void ReleaseAllKeys();

    // The GUI thread's message queue (PostMessageA to own windows).
    static void Post(const MSG& msg);
    // Takes the oldest queued message; false when the queue is empty.
    static bool TakeMessage(MSG& msg);
    // Drops the queued messages of a destroyed window.
    static void DropMessagesFor(HWND hwnd);

    // Modal dialogs in progress, innermost last.
    static void PushModal(HWND dialog);
    static void PopModal(HWND dialog);
    static HWND ActiveModal();

    // Tells the display driver (WindowDriver.h) about a state change (only call
    // when a value changed); `change` is a win::Change.
    static void Changed(HWND hwnd, int change);
};

}  // namespace win
