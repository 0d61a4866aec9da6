// A user's input, as a backend feeds it to the framework. Each operation does
// what the system does for the real event: keys go through the framework's
// pre-translation (PreTranslateMessage of the focused window and its parents)
// before the default dialog handling; a click focuses and clicks; the close
// box sends the close command. Afterwards the queued messages are processed.
#pragma once

#include "win32/WinTypes.h"

#include <string>

namespace ui {

class Input {
public:
    enum Modifier { Shift = 1, Ctrl = 2, Alt = 4 };

    // Result of an operation that a user might not be able to do.
    enum class Outcome { Done, NoSuchControl, Disabled, Hidden, NoCloseBox };

    // The control `id` of `dialog`, or null.
    static HWND Control(HWND dialog, int id);

    // Types `text` (code page 932) into a control as a user does after
    // selecting all of its text: the control takes the focus, its text is
    // selected, then each character arrives as typed (WM_CHAR; a double-byte
    // character as its two bytes). An edit keeps its rules (digits only,
    // length limit).
    static Outcome TypeInto(HWND control, const std::string& text);
    // Types `text` at the focus, replacing the selection there.
    static void TypeChars(const std::string& text);
    // Clicks a control with the mouse.
    static Outcome Click(HWND control);
    // Presses a key (a Windows virtual-key code) with modifiers, in `window`:
    // the key message goes to the focused window when it is in `window`,
    // otherwise to `window` itself. With Alt (and without Ctrl) the message is
    // WM_SYSKEYDOWN, otherwise WM_KEYDOWN. GetKeyState sees the modifiers and
    // the key as down while the key is processed.
    static void Key(HWND window, int vk, int modifiers);
    // Clicks the close box of a top-level window.
    static Outcome CloseBox(HWND window);

    // The cancel command (IDCANCEL), as Esc sends it.
    static void CancelCommand(HWND dialog);
    // Ends a dialog with IDCANCEL without asking it (last resort of a modal
    // loop that cannot go on).
    static void ForceEnd(HWND dialog);
    // True when a modal dialog has been ended (EndDialog).
    static bool IsEnded(HWND dialog);

    // Processes the queued messages (posted messages, typed characters): each
    // goes through the pre-translation and is then dispatched.
    static void Pump();
    // One message through the pre-translation chain, then dispatched.
    static void Process(MSG& msg);
};

}  // namespace ui
