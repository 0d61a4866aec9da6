// Window functions over the window registry: creation and destruction,
// messages, state, message boxes and the dialog helpers. The default
// behaviour of the system's control classes lives in their own files
// (ButtonClass.cpp, EditClass.cpp, ProgressClass.cpp, DialogClass.cpp) and is
// reached through DefWindowProcA; the framework's window procedure runs first
// and falls back to it. Dialog keyboard navigation is in DialogKeys.cpp.
#include "win32/User.h"

#include "win32/CallerEndpoint.h"
#include "win32/ControlClasses.h"
#include "win32/Mbcs.h"
#include "win32/ProcessEnding.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

using win::WindowKind;
using win::WindowRegistry;
using win::WindowState;
using win::user::Driver;
using win::user::Changed;
using win::user::FitBytes;
using win::user::NotifyParent;
using win::user::SetText;

namespace {

// --- Foreign windows ------------------------------------------------------

// The functions on foreign windows are the ones a control handler calls to
// release its caller while a signal ends the process, on the signal thread,
// while the program's thread may be anywhere: they touch nothing of the
// window registry but the handle range, keep the foreign state under a lock
// of its own, and on the ending thread do not show the event (the backend
// belongs to the program's thread).

// The enabled state last given to each foreign window (they start enabled).
std::map<uint32_t, bool>& ForeignEnabled()
{
    static std::map<uint32_t, bool> state;
    return state;
}

std::mutex& ForeignLock()
{
    static std::mutex lock;
    return lock;
}

// Hands an event for a foreign window to the caller endpoint and records it.
void ForeignEvent(HWND hwnd, const CallerEvent& event)
{
    bool delivered = CallerEndpoint::Deliver(HwndToValue(hwnd), event);
    if (!win::ProcessEnding::IsEndingThread()) Driver().CallerEvent(HwndToValue(hwnd), event.ToText(), delivered);
}

CallerEvent Event(CallerEvent::Kind kind)
{
    CallerEvent e;
    e.kind = kind;
    return e;
}

// --- Helpers --------------------------------------------------------------

bool EqualsNoCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b))) return false;
    return *a == *b;
}

WindowKind KindOfClass(const char* name)
{
    if (!name) return WindowKind::Window;
    if (EqualsNoCase(name, "BUTTON")) return WindowKind::Button;
    if (EqualsNoCase(name, "EDIT")) return WindowKind::Edit;
    if (EqualsNoCase(name, "STATIC")) return WindowKind::Static;
    if (EqualsNoCase(name, "msctls_progress32")) return WindowKind::Progress;
    if (std::strcmp(name, "#32770") == 0) return WindowKind::Dialog;
    return WindowKind::Window;
}

}  // namespace

namespace win::user {

size_t FitBytes(const std::string& s, size_t max)
{
    size_t i = 0;
    while (i < s.size()) {
        size_t n = mbcs::CharLen(s, i);
        if (i + n > max) break;
        i += n;
    }
    return i;
}

void NotifyParent(WindowState* w, WORD code)
{
    if (!w->IsTopLevel() && w->parent)
        SendMessageA(w->parent, WM_COMMAND, MAKEWPARAM(w->id, code), reinterpret_cast<LPARAM>(w->hwnd));
}

void SetText(WindowState* w, const std::string& text)
{
    if (w->text == text) return;
    w->text = text;
    Changed(w->hwnd, win::Change::Text);
}

std::vector<HWND> GroupOf(WindowState* w)
{
    std::vector<HWND> group;
    WindowState* parent = WindowRegistry::Find(w->parent);
    if (!parent || w->IsTopLevel()) return {w->hwnd};
    const auto& c = parent->children;
    auto it = std::find(c.begin(), c.end(), w->hwnd);
    if (it == c.end()) return {w->hwnd};
    size_t idx = static_cast<size_t>(it - c.begin());
    size_t start = idx;
    while (start > 0) {
        WindowState* s = WindowRegistry::Find(c[start]);
        if (s && (s->style & WS_GROUP)) break;
        --start;
    }
    for (size_t i = start; i < c.size(); ++i) {
        WindowState* s = WindowRegistry::Find(c[i]);
        if (i > start && s && (s->style & WS_GROUP)) break;
        group.push_back(c[i]);
    }
    return group;
}

}  // namespace win::user

// --- Creation and destruction ---------------------------------------------

HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                     int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE, LPVOID lpParam)
{
    if ((dwStyle & WS_CHILD) && !WindowRegistry::Find(hWndParent)) return nullptr;
    auto state = std::make_unique<WindowState>();
    state->parent = hWndParent;
    state->kind = KindOfClass(lpClassName);
    state->className = lpClassName ? lpClassName : "";
    state->text = lpWindowName ? lpWindowName : "";
    state->style = dwStyle;
    state->exStyle = dwExStyle;
    state->id = (dwStyle & WS_CHILD) ? static_cast<int>(reinterpret_cast<intptr_t>(hMenu)) : 0;
    state->x = X;
    state->y = Y;
    state->cx = nWidth;
    state->cy = nHeight;
    state->enabled = (dwStyle & WS_DISABLED) == 0;
    state->visible = (dwStyle & WS_VISIBLE) != 0;
    if (state->kind == WindowKind::Dialog || state->kind == WindowKind::Window) state->visible = false;
    HWND hwnd = WindowRegistry::Add(std::move(state));

    CREATESTRUCTA cs{};
    cs.lpCreateParams = lpParam;
    cs.hMenu = hMenu;
    cs.hwndParent = hWndParent;
    cs.cy = nHeight;
    cs.cx = nWidth;
    cs.y = Y;
    cs.x = X;
    cs.style = static_cast<LONG>(dwStyle);
    cs.lpszName = lpWindowName;
    cs.lpszClass = lpClassName;
    cs.dwExStyle = dwExStyle;
    if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    // A top-level window created visible shows now, after its creation.
    if ((dwStyle & WS_VISIBLE) && !(dwStyle & WS_CHILD)) ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

namespace {

void SendDestroy(HWND hwnd)
{
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    WindowState* w = WindowRegistry::Find(hwnd);
    if (!w) return;
    std::vector<HWND> children = w->children;
    for (HWND c : children) SendDestroy(c);
}

void SendNcDestroy(HWND hwnd)
{
    WindowState* w = WindowRegistry::Find(hwnd);
    if (!w) return;
    std::vector<HWND> children = w->children;
    for (HWND c : children) SendNcDestroy(c);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
}

}  // namespace

BOOL DestroyWindow(HWND hWnd)
{
    WindowState* w = WindowRegistry::Find(hWnd);
    if (!w) return FALSE;
    if (w->IsTopLevel()) {
        if (w->visible) {
            w->visible = false;
            Driver().WindowShown(hWnd, false);
        }
        Driver().WindowDestroyed(hWnd);
    }
    HWND focus = WindowRegistry::Focus();
    if (focus && WindowRegistry::IsDescendant(hWnd, focus)) WindowRegistry::SetFocusRaw(nullptr);
    SendDestroy(hWnd);
    SendNcDestroy(hWnd);
    WindowRegistry::Remove(hWnd);
    return TRUE;
}

// --- Messages --------------------------------------------------------------

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    WindowState* w = WindowRegistry::Find(hWnd);
    if (!w) return 0;
    bool handled = false;
    LRESULT r = 0;
    switch (w->kind) {
    case WindowKind::Edit: r = win::user::EditProc(w, Msg, wParam, lParam, handled); break;
    case WindowKind::Button: r = win::user::ButtonProc(w, Msg, wParam, lParam, handled); break;
    case WindowKind::Progress: r = win::user::ProgressProc(w, Msg, wParam, lParam, handled); break;
    case WindowKind::Dialog: r = win::user::DialogProc(w, Msg, wParam, lParam, handled); break;
    default: break;
    }
    if (handled) return r;
    switch (Msg) {
    case WM_SETTEXT: {
        std::string text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        if (w->kind == WindowKind::Edit) {
            w->selStart = w->selEnd = 0;
            if (text != w->text) {
                SetText(w, text);
                NotifyParent(w, EN_CHANGE);
            }
        } else {
            SetText(w, text);
        }
        return TRUE;
    }
    case WM_GETTEXT: {
        if (wParam == 0 || !lParam) return 0;
        size_t n = FitBytes(w->text, static_cast<size_t>(wParam) - 1);
        std::memcpy(reinterpret_cast<char*>(lParam), w->text.data(), n);
        reinterpret_cast<char*>(lParam)[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE && (w->style & WS_SYSMENU)) SendMessageA(hWnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE: DestroyWindow(hWnd); return 0;
    default: return 0;
    }
}

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    WindowState* w = WindowRegistry::Find(hWnd);
    if (!w) {
        // Another process's window procedure cannot be called from here.
        if (WindowRegistry::IsForeign(hWnd))
            Driver().CallerEvent(HwndToValue(hWnd),
                                  "send " + std::to_string(Msg) + " " + std::to_string(static_cast<int32_t>(wParam)) +
                                      " " + std::to_string(static_cast<int32_t>(lParam)),
                                  false);
        return 0;
    }
    if (w->handler) return w->handler->HandleMessage(hWnd, Msg, wParam, lParam);
    return DefWindowProcA(hWnd, Msg, wParam, lParam);
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (WindowRegistry::IsForeign(hWnd)) {
        ForeignEvent(hWnd, CallerEvent::MakePost(Msg, wParam, lParam));
        return TRUE;
    }
    if (hWnd && !WindowRegistry::Find(hWnd)) return FALSE;
    MSG m{};
    m.hwnd = hWnd;
    m.message = Msg;
    m.wParam = wParam;
    m.lParam = lParam;
    WindowRegistry::Post(m);
    return TRUE;
}

BOOL TranslateMessage(const MSG* lpMsg)
{
    if (!lpMsg || lpMsg->message != WM_KEYDOWN) return FALSE;
    if (WindowRegistry::IsKeyDown(VK_CONTROL) || WindowRegistry::IsKeyDown(VK_MENU)) return FALSE;
    int vk = static_cast<int>(lpMsg->wParam);
    bool shift = WindowRegistry::IsKeyDown(VK_SHIFT);
    int ch = 0;
    if (vk >= 'A' && vk <= 'Z')
        ch = shift ? vk : vk - 'A' + 'a';
    else if (vk >= '0' && vk <= '9' && !shift)
        ch = vk;
    else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        ch = '0' + vk - VK_NUMPAD0;
    else if (vk == VK_SPACE || vk == VK_BACK || vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_TAB)
        ch = vk;
    if (!ch) return FALSE;
    MSG m = *lpMsg;
    m.message = WM_CHAR;
    m.wParam = static_cast<WPARAM>(ch);
    WindowRegistry::Post(m);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* lpMsg)
{
    if (!lpMsg || !lpMsg->hwnd) return 0;
    return SendMessageA(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

SHORT GetKeyState(int nVirtKey)
{
    return WindowRegistry::IsKeyDown(nVirtKey) ? static_cast<SHORT>(0xFF80) : 0;
}

// --- State -----------------------------------------------------------------

BOOL EnableWindow(HWND hWnd, BOOL bEnable)
{
    if (WindowRegistry::IsForeign(hWnd)) {
        bool wasEnabled;
        {
            std::lock_guard<std::mutex> hold(ForeignLock());
            auto& state = ForeignEnabled();
            auto it = state.find(HwndToValue(hWnd));
            wasEnabled = it == state.end() || it->second;
            state[HwndToValue(hWnd)] = bEnable != FALSE;
        }
        ForeignEvent(hWnd, Event(bEnable ? CallerEvent::Enable : CallerEvent::Disable));
        return wasEnabled ? FALSE : TRUE;
    }
    WindowState* w = WindowRegistry::Find(hWnd);
    if (!w) return FALSE;
    bool wasEnabled = w->enabled;
    bool enable = bEnable != FALSE;
    if (wasEnabled != enable) {
        w->enabled = enable;
        Changed(hWnd, win::Change::Enabled);
        // A disabled window cannot keep the keyboard focus.
        if (!enable && WindowRegistry::Focus() == hWnd) WindowRegistry::SetFocusRaw(nullptr);
        SendMessageA(hWnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    }
    return wasEnabled ? FALSE : TRUE;
}

BOOL IsWindowEnabled(HWND hWnd)
{
    if (WindowState* w = WindowRegistry::Find(hWnd)) return w->enabled ? TRUE : FALSE;
    if (!WindowRegistry::IsForeign(hWnd)) return FALSE;
    std::lock_guard<std::mutex> hold(ForeignLock());
    auto& state = ForeignEnabled();
    auto it = state.find(HwndToValue(hWnd));
    return it == state.end() || it->second ? TRUE : FALSE;
}

// A foreign handle is taken to be a live window: nothing here can tell
// otherwise. A handle of ours is a window until it is destroyed.
BOOL IsWindow(HWND hWnd)
{
    if (WindowRegistry::Find(hWnd)) return TRUE;
    return WindowRegistry::IsForeign(hWnd) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hWnd)
{
    for (WindowState* w = WindowRegistry::Find(hWnd); w; w = WindowRegistry::Find(w->parent)) {
        if (!w->visible) return FALSE;
        if (w->IsTopLevel()) return TRUE;
    }
    return FALSE;
}

BOOL SetForegroundWindow(HWND hWnd)
{
    if (WindowRegistry::IsForeign(hWnd)) {
        ForeignEvent(hWnd, Event(CallerEvent::Foreground));
        return TRUE;
    }
    HWND top = WindowRegistry::TopLevelOf(hWnd);
    if (!top) return FALSE;
    Driver().Raise(top);
    return TRUE;
}

BOOL BringWindowToTop(HWND hWnd)
{
    if (WindowRegistry::IsForeign(hWnd)) return TRUE;  // another process's stacking order is not ours to change
    HWND top = WindowRegistry::TopLevelOf(hWnd);
    if (!top) return FALSE;
    Driver().Raise(top);
    return TRUE;
}

BOOL UpdateWindow(HWND hWnd)
{
    HWND top = WindowRegistry::TopLevelOf(hWnd);
    if (!top) return WindowRegistry::IsForeign(hWnd) ? TRUE : FALSE;
    if (WindowState* t = WindowRegistry::Find(top); t && t->visible) Driver().Repaint(top);
    return TRUE;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow)
{
    WindowState* w = WindowRegistry::Find(hWnd);
    if (!w) return FALSE;
    bool was = w->visible;
    bool show = nCmdShow != SW_HIDE;
    if (was == show) return was ? TRUE : FALSE;
    w->visible = show;
    SendMessageA(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    w = WindowRegistry::Find(hWnd);
    if (!w) return was ? TRUE : FALSE;
    if (w->IsTopLevel())
        Driver().WindowShown(hWnd, show);
    else
        Changed(hWnd, win::Change::Visible);
    // A hidden window gives up the focus (after the driver saw it last).
    if (!show) {
        HWND focus = WindowRegistry::Focus();
        if (focus && WindowRegistry::IsDescendant(hWnd, focus)) {
            if (w->IsTopLevel()) w->lastFocus = focus;
            WindowRegistry::SetFocusRaw(nullptr);
        }
    }
    return was ? TRUE : FALSE;
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString)
{
    if (!WindowRegistry::Find(hWnd)) return FALSE;
    return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString ? lpString : "")) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount)
{
    if (!lpString || nMaxCount <= 0) return 0;
    lpString[0] = '\0';
    if (!WindowRegistry::Find(hWnd)) return 0;
    return static_cast<int>(
        SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLengthA(HWND hWnd)
{
    if (!WindowRegistry::Find(hWnd)) return 0;
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

HWND SetFocus(HWND hWnd)
{
    HWND prev = WindowRegistry::Focus();
    if (!hWnd) {
        WindowRegistry::SetFocusRaw(nullptr);
        return prev;
    }
    WindowState* w = WindowRegistry::Find(hWnd);
    // Focusing a disabled window, or one that is not ours, does nothing.
    if (!w || !w->enabled) return nullptr;
    WindowRegistry::SetFocusRaw(hWnd);
    return prev;
}

HWND GetFocus() { return WindowRegistry::Focus(); }

HWND GetDlgItem(HWND hDlg, int nIDDlgItem)
{
    WindowState* d = WindowRegistry::Find(hDlg);
    if (!d) return nullptr;
    for (HWND h : d->children)
        if (WindowState* c = WindowRegistry::Find(h); c && c->id == nIDDlgItem) return h;
    return nullptr;
}

int GetDlgCtrlID(HWND hWnd)
{
    WindowState* w = WindowRegistry::Find(hWnd);
    return w && !w->IsTopLevel() ? w->id : 0;
}

HWND GetParent(HWND hWnd)
{
    WindowState* w = WindowRegistry::Find(hWnd);
    return w ? w->parent : nullptr;
}

// --- Message boxes ---------------------------------------------------------

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    // No new message once a termination signal is ending the process: the
    // user would read of a run that is no longer going on.
    win::ProcessEnding::Pass();
    win::MessageBoxRequest request;
    request.owner = hWnd;
    request.text = lpText ? lpText : "";
    request.caption = lpCaption ? lpCaption : "エラー";
    request.type = uType;
    return Driver().MessageBox(request);
}

// --- Dialogs ---------------------------------------------------------------

BOOL EndDialog(HWND hDlg, INT_PTR nResult)
{
    WindowState* w = WindowRegistry::Find(hDlg);
    if (!w) return FALSE;
    w->ended = true;
    w->result = nResult;
    ShowWindow(hDlg, SW_HIDE);
    return TRUE;
}

BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck)
{
    HWND h = GetDlgItem(hDlg, nIDButton);
    if (!h) return FALSE;
    SendMessageA(h, BM_SETCHECK, uCheck, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND hDlg, int nIDButton)
{
    return static_cast<UINT>(SendMessageA(GetDlgItem(hDlg, nIDButton), BM_GETCHECK, 0, 0));
}
