#include "ui/Input.h"

#include "win32/Mbcs.h"
#include "win32/WindowRegistry.h"

using win::WindowKind;
using win::WindowRegistry;
using win::WindowState;

namespace ui {

namespace {

// A guard against a message that re-posts itself for ever.
constexpr int MaxMessagesPerPump = 1000000;

void PostChar(HWND target, unsigned char c)
{
    MSG m{};
    m.hwnd = target;
    m.message = WM_CHAR;
    m.wParam = c;
    m.lParam = 1;
    WindowRegistry::Post(m);
    Input::Pump();
}

}  // namespace

HWND Input::Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

Input::Outcome Input::TypeInto(HWND control, const std::string& text)
{
    WindowState* w = WindowRegistry::Find(control);
    if (!w) return Outcome::NoSuchControl;
    if (!IsWindowVisible(control)) return Outcome::Hidden;
    if (!w->enabled) return Outcome::Disabled;
    SetFocus(control);
    if (GetFocus() != control) return Outcome::Disabled;
    SendMessageA(control, EM_SETSEL, 0, -1);
    TypeChars(text);
    return Outcome::Done;
}

void Input::TypeChars(const std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        HWND focus = GetFocus();
        if (!focus) return;
        PostChar(focus, static_cast<unsigned char>(text[i]));
    }
}

Input::Outcome Input::Click(HWND control)
{
    WindowState* w = WindowRegistry::Find(control);
    if (!w) return Outcome::NoSuchControl;
    if (!IsWindowVisible(control)) return Outcome::Hidden;
    if (!w->enabled) return Outcome::Disabled;
    switch (w->kind) {
    case WindowKind::Button: SendMessageA(control, BM_CLICK, 0, 0); break;
    case WindowKind::Edit: {
        // The caret goes where the user clicked: taken as the end of the text.
        SetFocus(control);
        int len = GetWindowTextLengthA(control);
        SendMessageA(control, EM_SETSEL, static_cast<WPARAM>(len), len);
        break;
    }
    case WindowKind::Static:
        if (w->style & SS_NOTIFY)
            SendMessageA(w->parent, WM_COMMAND, MAKEWPARAM(w->id, 0), reinterpret_cast<LPARAM>(control));
        break;
    default: SetFocus(control); break;
    }
    Pump();
    return Outcome::Done;
}

void Input::Key(HWND window, int vk, int modifiers)
{
    HWND target = GetFocus();
    if (!target || !WindowRegistry::IsDescendant(window, target)) target = window;
    bool alt = (modifiers & Alt) != 0, ctrl = (modifiers & Ctrl) != 0, shift = (modifiers & Shift) != 0;
    WindowRegistry::ReleaseAllKeys();
    WindowRegistry::SetKeyDown(VK_SHIFT, shift);
    WindowRegistry::SetKeyDown(VK_CONTROL, ctrl);
    WindowRegistry::SetKeyDown(VK_MENU, alt);
    WindowRegistry::SetKeyDown(vk, true);
    MSG m{};
    m.hwnd = target;
    m.message = alt && !ctrl ? WM_SYSKEYDOWN : WM_KEYDOWN;
    m.wParam = static_cast<WPARAM>(vk);
    m.lParam = 1 | (alt ? (1L << 29) : 0);
    Process(m);
    // Characters the key produced are typed while the modifiers are still down.
    Pump();
    WindowRegistry::ReleaseAllKeys();
}

Input::Outcome Input::CloseBox(HWND window)
{
    WindowState* w = WindowRegistry::Find(window);
    if (!w) return Outcome::NoSuchControl;
    if (!(w->style & WS_SYSMENU)) return Outcome::NoCloseBox;
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    return Outcome::Done;
}

void Input::CancelCommand(HWND dialog)
{
    if (!WindowRegistry::Find(dialog)) return;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    Pump();
}

void Input::ForceEnd(HWND dialog) { EndDialog(dialog, IDCANCEL); }

bool Input::IsEnded(HWND dialog)
{
    WindowState* w = WindowRegistry::Find(dialog);
    return !w || w->ended;
}

void Input::Pump()
{
    MSG m{};
    for (int n = 0; n < MaxMessagesPerPump && WindowRegistry::TakeMessage(m); ++n) Process(m);
}

void Input::Process(MSG& msg)
{
    // The framework's pre-translation from the target up to its top-level
    // window; the first that consumes the message ends it.
    WindowState* w = WindowRegistry::Find(msg.hwnd);
    if (!w) return;
    HWND top = WindowRegistry::TopLevelOf(msg.hwnd);
    for (HWND h = msg.hwnd; h;) {
        WindowState* s = WindowRegistry::Find(h);
        if (!s) return;
        // Read before the handler runs: it may destroy the window.
        bool isTop = s->IsTopLevel();
        HWND parent = s->parent;
        if (s->handler && s->handler->PreTranslate(&msg)) return;
        if (isTop) break;
        h = parent;
    }
    // A dialog without a framework object still gets the dialog keys.
    WindowState* t = WindowRegistry::Find(top);
    if (t && !t->handler && t->kind == WindowKind::Dialog && IsDialogMessageA(top, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

}  // namespace ui
