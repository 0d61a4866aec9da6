// Window functions over the window registry. The default behaviour of the
// system's control classes (buttons, edits, statics, progress bars, dialogs)
// lives in DefWindowProcA; the framework's window procedure runs first and
// falls back to it.
#include "win32/User.h"

#include "win32/Mbcs.h"
#include "win32/WindowRegistry.h"
#include "ui/Backends.h"

#include "win32/CallerEndpoint.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <string>

using win::WindowKind;
using win::WindowRegistry;
using win::WindowState;

namespace {

void Changed(HWND hwnd, ui::Change what) { WindowRegistry::Changed(hwnd, static_cast<int>(what)); }

ui::Backend& Backend() { return ui::Backends::Current(); }

// --- Foreign windows ------------------------------------------------------

// The enabled state last given to each foreign window (they start enabled).
std::map<uint32_t, bool>& ForeignEnabled()
{
    static std::map<uint32_t, bool> state;
    return state;
}

// Hands an event for a foreign window to the caller endpoint and records it.
void ForeignEvent(HWND hwnd, const CallerEvent& event)
{
    bool delivered = CallerEndpoint::Deliver(HwndToValue(hwnd), event);
    Backend().CallerEvent(HwndToValue(hwnd), event.ToText(), delivered);
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

// The text cut to at most `max` bytes without splitting a double-byte character.
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
    Changed(w->hwnd, ui::Change::Text);
}

// The siblings of a control that form its group: from the nearest control at
// or before it with WS_GROUP up to the next control with WS_GROUP.
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

void SetCheck(WindowState* w, UINT check)
{
    if (w->check == check) return;
    w->check = check;
    Changed(w->hwnd, ui::Change::Check);
}

bool CanFocus(WindowState* w) { return w && w->enabled; }

// A user's (or BM_CLICK's) click on a button: focus, the automatic state
// change, then BN_CLICKED to the parent.
LRESULT ClickButton(WindowState* w)
{
    if (!w->enabled) return 0;
    HWND hwnd = w->hwnd;
    DWORD type = w->ButtonType();
    if (type == BS_GROUPBOX) return 0;
    SetFocus(hwnd);
    w = WindowRegistry::Find(hwnd);
    if (!w) return 0;
    switch (type) {
    case BS_AUTOCHECKBOX: SetCheck(w, w->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED); break;
    case BS_AUTO3STATE:
        SetCheck(w, w->check == BST_UNCHECKED ? BST_CHECKED
                    : w->check == BST_CHECKED ? BST_INDETERMINATE
                                              : BST_UNCHECKED);
        break;
    case BS_AUTORADIOBUTTON:
        for (HWND h : GroupOf(w)) {
            WindowState* s = WindowRegistry::Find(h);
            if (s && s != w && s->kind == WindowKind::Button && s->ButtonType() == BS_AUTORADIOBUTTON)
                SetCheck(s, BST_UNCHECKED);
        }
        SetCheck(w, BST_CHECKED);
        break;
    default: break;
    }
    NotifyParent(w, BN_CLICKED);
    return 0;
}

// Replaces the edit's selection with `text`, within the limit. False when
// nothing could be inserted of a non-empty text.
bool ReplaceSelection(WindowState* w, const std::string& insert, bool notify)
{
    int len = static_cast<int>(w->text.size());
    int a = std::clamp(std::min(w->selStart, w->selEnd), 0, len);
    int b = std::clamp(std::max(w->selStart, w->selEnd), 0, len);
    size_t room = w->limit > static_cast<UINT>(len - (b - a)) ? w->limit - static_cast<UINT>(len - (b - a)) : 0;
    std::string fitted = insert.substr(0, FitBytes(insert, room));
    std::string text = w->text.substr(0, a) + fitted + w->text.substr(b);
    int caret = a + static_cast<int>(fitted.size());
    bool selChanged = w->selStart != caret || w->selEnd != caret;
    w->selStart = w->selEnd = caret;
    if (text != w->text) {
        SetText(w, text);
        if (notify) NotifyParent(w, EN_CHANGE);
    } else if (selChanged) {
        Changed(w->hwnd, ui::Change::Selection);
    }
    return insert.empty() || !fitted.empty();
}

// A character typed into an edit (WM_CHAR). A double-byte character arrives
// as its lead byte and then its trail byte.
LRESULT EditChar(WindowState* w, unsigned int ch)
{
    unsigned char c = static_cast<unsigned char>(ch & 0xFF);
    if (w->pendingLead) {
        std::string dbcs{static_cast<char>(w->pendingLead), static_cast<char>(c)};
        w->pendingLead = 0;
        if (w->style & ES_NUMBER) return 0;  // only digits may be typed
        ReplaceSelection(w, dbcs, true);
        return 0;
    }
    if (c == VK_BACK) {
        int len = static_cast<int>(w->text.size());
        int a = std::clamp(std::min(w->selStart, w->selEnd), 0, len);
        int b = std::clamp(std::max(w->selStart, w->selEnd), 0, len);
        if (a == b && a > 0) {
            // Delete the character before the caret, whole.
            size_t i = 0, prev = 0;
            while (i < static_cast<size_t>(a)) {
                prev = i;
                i += mbcs::CharLen(w->text, i);
            }
            a = static_cast<int>(prev);
        }
        w->selStart = a;
        w->selEnd = b;
        ReplaceSelection(w, "", true);
        return 0;
    }
    if (c < 0x20) return 0;
    if (mbcs::IsLeadByte(c)) {
        w->pendingLead = c;
        return 0;
    }
    if ((w->style & ES_NUMBER) && !(c >= '0' && c <= '9')) return 0;
    ReplaceSelection(w, std::string(1, static_cast<char>(c)), true);
    return 0;
}

LRESULT EditProc(WindowState* w, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled)
{
    handled = true;
    int len = static_cast<int>(w->text.size());
    switch (msg) {
    case EM_GETSEL: {
        DWORD a = static_cast<DWORD>(std::min(w->selStart, w->selEnd));
        DWORD b = static_cast<DWORD>(std::max(w->selStart, w->selEnd));
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = a;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = b;
        return (a > 0xFFFF || b > 0xFFFF) ? -1 : static_cast<LRESULT>(MAKELONG(a, b));
    }
    case EM_SETSEL: {
        int a = static_cast<int>(static_cast<INT_PTR>(wParam));
        int b = static_cast<int>(lParam);
        if (a == -1) {
            // Removes the selection, the caret stays where the selection ended.
            a = b = std::max(w->selStart, w->selEnd);
        } else {
            if (b < 0 || b > len) b = len;
            if (a > len) a = len;
            if (a > b) std::swap(a, b);
        }
        if (w->selStart != a || w->selEnd != b) {
            w->selStart = a;
            w->selEnd = b;
            Changed(w->hwnd, ui::Change::Selection);
        }
        return 0;
    }
    case EM_REPLACESEL: ReplaceSelection(w, lParam ? reinterpret_cast<LPCSTR>(lParam) : "", true); return 0;
    case EM_LIMITTEXT: w->limit = wParam == 0 ? 0x7FFFFFFEu : static_cast<UINT>(wParam); return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(w->limit);
    case EM_SCROLLCARET: return TRUE;
    case WM_CHAR: return EditChar(w, static_cast<unsigned int>(wParam));
    default: handled = false; return 0;
    }
}

LRESULT ButtonProc(WindowState* w, UINT msg, WPARAM wParam, LPARAM, bool& handled)
{
    handled = true;
    switch (msg) {
    case BM_GETCHECK: return w->IsCheckable() ? static_cast<LRESULT>(w->check) : 0;
    case BM_SETCHECK:
        // Sets this button only; the other radio buttons of its group keep
        // their state, as with the system's buttons (a click clears them).
        if (w->IsCheckable()) SetCheck(w, static_cast<UINT>(wParam) & (BST_CHECKED | BST_INDETERMINATE));
        return 0;
    case BM_GETSTATE:
        return static_cast<LRESULT>((w->IsCheckable() ? w->check : 0) |
                                    (WindowRegistry::Focus() == w->hwnd ? BST_FOCUS : 0));
    case BM_SETSTATE: return 0;
    case BM_SETSTYLE: {
        DWORD style = (w->style & ~BS_TYPEMASK) | (static_cast<DWORD>(wParam) & BS_TYPEMASK);
        if (style != w->style) {
            w->style = style;
            Changed(w->hwnd, ui::Change::Style);
        }
        return 0;
    }
    case BM_CLICK: return ClickButton(w);
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) return ClickButton(w);
        handled = false;
        return 0;
    default: handled = false; return 0;
    }
}

int ClampPos(WindowState* w, long long pos)
{
    return static_cast<int>(std::clamp<long long>(pos, std::min(w->low, w->high), std::max(w->low, w->high)));
}

void SetProgress(WindowState* w, int low, int high, int pos, int step)
{
    if (w->low == low && w->high == high && w->pos == pos && w->step == step) return;
    w->low = low;
    w->high = high;
    w->pos = pos;
    w->step = step;
    Changed(w->hwnd, ui::Change::Progress);
}

LRESULT ProgressProc(WindowState* w, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled)
{
    handled = true;
    int old = w->pos;
    switch (msg) {
    case PBM_SETRANGE: {
        LRESULT prev = MAKELONG(w->low, w->high);
        int low = LOWORD(lParam), high = HIWORD(lParam);
        SetProgress(w, low, high, std::clamp(w->pos, std::min(low, high), std::max(low, high)), w->step);
        return prev;
    }
    case PBM_SETRANGE32: {
        LRESULT prev = MAKELONG(w->low, w->high);
        int low = static_cast<int>(static_cast<INT_PTR>(wParam)), high = static_cast<int>(lParam);
        SetProgress(w, low, high, std::clamp(w->pos, std::min(low, high), std::max(low, high)), w->step);
        return prev;
    }
    case PBM_GETRANGE:
        if (lParam) {
            auto* r = reinterpret_cast<PBRANGE*>(lParam);
            r->iLow = w->low;
            r->iHigh = w->high;
        }
        return wParam ? w->low : w->high;
    case PBM_SETPOS: SetProgress(w, w->low, w->high, ClampPos(w, static_cast<int>(wParam)), w->step); return old;
    case PBM_DELTAPOS:
        SetProgress(w, w->low, w->high, ClampPos(w, static_cast<long long>(w->pos) + static_cast<int>(wParam)),
                    w->step);
        return old;
    case PBM_SETSTEP: {
        int prev = w->step;
        SetProgress(w, w->low, w->high, w->pos, static_cast<int>(wParam));
        return prev;
    }
    case PBM_STEPIT: {
        // Stepping past the end starts over from the other end.
        long long pos = static_cast<long long>(w->pos) + w->step;
        long long lo = std::min(w->low, w->high), hi = std::max(w->low, w->high);
        if (hi > lo) {
            if (pos > hi) pos = lo + (pos - hi) % (hi - lo);
            if (pos < lo) pos = hi - (lo - pos) % (hi - lo);
        }
        SetProgress(w, w->low, w->high, ClampPos(w, pos), w->step);
        return old;
    }
    case PBM_GETPOS: return w->pos;
    default: handled = false; return 0;
    }
}

// The id of the default push button of a dialog, 0 when it has none.
int DefaultId(WindowState* dlg)
{
    if (dlg->defId) return dlg->defId;
    for (HWND h : dlg->children)
        if (WindowState* c = WindowRegistry::Find(h); c && c->kind == WindowKind::Button && c->ButtonType() == BS_DEFPUSHBUTTON)
            return c->id;
    return 0;
}

LRESULT DialogProc(WindowState* w, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled)
{
    handled = true;
    switch (msg) {
    case DM_GETDEFID: {
        int id = DefaultId(w);
        return id ? MAKELONG(id, DC_HASDEFID) : 0;
    }
    case DM_SETDEFID: w->defId = static_cast<int>(wParam); return TRUE;
    case WM_CLOSE: {
        // The close box is the cancel command, unless a Cancel button exists
        // and is disabled.
        HWND cancel = GetDlgItem(w->hwnd, IDCANCEL);
        WindowState* c = WindowRegistry::Find(cancel);
        if (!c || c->enabled)
            SendMessageA(w->hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case WM_NEXTDLGCTL: {
        HWND target = lParam ? reinterpret_cast<HWND>(wParam)
                             : GetNextDlgTabItem(w->hwnd, WindowRegistry::Focus(), wParam != 0);
        WindowState* t = WindowRegistry::Find(target);
        if (t && CanFocus(t)) {
            SetFocus(target);
            if (t->kind == WindowKind::Edit) SendMessageA(target, EM_SETSEL, 0, -1);
        }
        return 0;
    }
    case WM_COMMAND: return 0;
    default: handled = false; return 0;
    }
}

// The mnemonic character of a control's text ("&N"), upper-cased; 0 if none.
int Mnemonic(const std::string& text)
{
    size_t i = 0;
    while (i < text.size()) {
        size_t n = mbcs::CharLen(text, i);
        if (n == 1 && text[i] == '&' && i + 1 < text.size()) {
            if (text[i + 1] == '&') {
                i += 2;
                continue;
            }
            if (mbcs::CharLen(text, i + 1) == 1) return std::toupper(static_cast<unsigned char>(text[i + 1]));
        }
        i += n;
    }
    return 0;
}

bool IsFocusable(WindowState* c)
{
    return c && c->enabled && c->visible && c->kind != WindowKind::Static &&
           !(c->kind == WindowKind::Button && c->ButtonType() == BS_GROUPBOX) && c->kind != WindowKind::Progress;
}

void FocusForKeyboard(HWND hwnd)
{
    SetFocus(hwnd);
    WindowState* w = WindowRegistry::Find(hwnd);
    if (w && w->kind == WindowKind::Edit && WindowRegistry::Focus() == hwnd) SendMessageA(hwnd, EM_SETSEL, 0, -1);
}

// An access key pressed in a dialog: true when a control took it.
bool DoMnemonic(WindowState* dlg, int key)
{
    const auto& c = dlg->children;
    for (size_t i = 0; i < c.size(); ++i) {
        WindowState* s = WindowRegistry::Find(c[i]);
        if (!s || !s->visible || Mnemonic(s->text) != key) continue;
        bool label = s->kind == WindowKind::Static || (s->kind == WindowKind::Button && s->ButtonType() == BS_GROUPBOX);
        if (label) {
            // A label hands the key to the next control that can take it.
            for (size_t k = i + 1; k < c.size(); ++k) {
                WindowState* t = WindowRegistry::Find(c[k]);
                if (t && t->visible && t->kind != WindowKind::Static &&
                    !(t->kind == WindowKind::Button && t->ButtonType() == BS_GROUPBOX)) {
                    if (t->enabled) FocusForKeyboard(t->hwnd);
                    return true;
                }
            }
            return true;
        }
        if (!s->enabled) continue;
        if (s->IsPushButton()) {
            NotifyParent(s, BN_CLICKED);
        } else if (s->kind == WindowKind::Button) {
            ClickButton(s);
        } else {
            FocusForKeyboard(s->hwnd);
        }
        return true;
    }
    return false;
}

// Moves within the group of the focused control (arrow keys).
void MoveInGroup(HWND dlg, HWND focus, bool previous)
{
    HWND next = GetNextDlgGroupItem(dlg, focus, previous);
    if (!next || next == focus) return;
    WindowState* n = WindowRegistry::Find(next);
    if (n && n->kind == WindowKind::Button && n->ButtonType() == BS_AUTORADIOBUTTON)
        ClickButton(n);
    else
        FocusForKeyboard(next);
}

}  // namespace

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
            Backend().WindowShown(hWnd, false);
        }
        Backend().WindowDestroyed(hWnd);
    }
    HWND focus = WindowRegistry::Focus();
    if (focus && WindowRegistry::IsDescendant(hWnd, focus)) WindowRegistry::SetFocusRaw(nullptr);
    SendDestroy(hWnd);
    SendNcDestroy(hWnd);
    WindowRegistry::Remove(hWnd);
    return TRUE;
}

LONG GetWindowLongA(HWND hWnd, int nIndex)
{
    WindowState* w = WindowRegistry::Find(hWnd);
    if (!w) return 0;
    switch (nIndex) {
    case GWL_STYLE:
        return static_cast<LONG>((w->style & ~(WS_DISABLED | WS_VISIBLE)) | (w->enabled ? 0 : WS_DISABLED) |
                                 (w->visible ? WS_VISIBLE : 0));
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWL_ID: return w->id;
    default: return 0;
    }
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong)
{
    WindowState* w = WindowRegistry::Find(hWnd);
    if (!w) return 0;
    LONG old = GetWindowLongA(hWnd, nIndex);
    if (nIndex == GWL_STYLE) {
        DWORD style = static_cast<DWORD>(dwNewLong);
        w->style = style & ~(WS_DISABLED | WS_VISIBLE);
        if (w->enabled != ((style & WS_DISABLED) == 0)) EnableWindow(hWnd, (style & WS_DISABLED) == 0);
        Changed(hWnd, ui::Change::Style);
    } else if (nIndex == GWL_EXSTYLE) {
        w->exStyle = static_cast<DWORD>(dwNewLong);
        Changed(hWnd, ui::Change::Style);
    }
    return old;
}

// --- Messages --------------------------------------------------------------

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    WindowState* w = WindowRegistry::Find(hWnd);
    if (!w) return 0;
    bool handled = false;
    LRESULT r = 0;
    switch (w->kind) {
    case WindowKind::Edit: r = EditProc(w, Msg, wParam, lParam, handled); break;
    case WindowKind::Button: r = ButtonProc(w, Msg, wParam, lParam, handled); break;
    case WindowKind::Progress: r = ProgressProc(w, Msg, wParam, lParam, handled); break;
    case WindowKind::Dialog: r = DialogProc(w, Msg, wParam, lParam, handled); break;
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
            Backend().CallerEvent(HwndToValue(hWnd),
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
    WindowState* w = WindowRegistry::Find(hWnd);
    if (!w) {
        if (!WindowRegistry::IsForeign(hWnd)) return FALSE;
        auto& state = ForeignEnabled();
        auto it = state.find(HwndToValue(hWnd));
        bool wasEnabled = it == state.end() || it->second;
        state[HwndToValue(hWnd)] = bEnable != FALSE;
        ForeignEvent(hWnd, Event(bEnable ? CallerEvent::Enable : CallerEvent::Disable));
        return wasEnabled ? FALSE : TRUE;
    }
    bool wasEnabled = w->enabled;
    bool enable = bEnable != FALSE;
    if (wasEnabled != enable) {
        w->enabled = enable;
        Changed(hWnd, ui::Change::Enabled);
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
    Backend().Raise(top);
    return TRUE;
}

BOOL BringWindowToTop(HWND hWnd)
{
    if (WindowRegistry::IsForeign(hWnd)) return TRUE;  // another process's stacking order is not ours to change
    HWND top = WindowRegistry::TopLevelOf(hWnd);
    if (!top) return FALSE;
    Backend().Raise(top);
    return TRUE;
}

BOOL UpdateWindow(HWND hWnd)
{
    HWND top = WindowRegistry::TopLevelOf(hWnd);
    if (!top) return WindowRegistry::IsForeign(hWnd) ? TRUE : FALSE;
    if (WindowState* t = WindowRegistry::Find(top); t && t->visible) Backend().Repaint(top);
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
        Backend().WindowShown(hWnd, show);
    else
        Changed(hWnd, ui::Change::Visible);
    // A hidden window gives up the focus (after the backend saw it last).
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
    ui::MessageBoxRequest request;
    request.owner = hWnd;
    request.text = lpText ? lpText : "";
    request.caption = lpCaption ? lpCaption : "エラー";
    request.type = uType;
    return Backend().MessageBox(request);
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

HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    WindowState* d = WindowRegistry::Find(hDlg);
    if (!d || d->children.empty()) return nullptr;
    const auto& c = d->children;
    size_t n = c.size();
    auto it = std::find(c.begin(), c.end(), hCtl);
    size_t start = it == c.end() ? (bPrevious ? 0 : n - 1) : static_cast<size_t>(it - c.begin());
    for (size_t k = 1; k <= n; ++k) {
        size_t i = bPrevious ? (start + n - k) % n : (start + k) % n;
        WindowState* s = WindowRegistry::Find(c[i]);
        if (s && (s->style & WS_TABSTOP) && IsFocusable(s)) return c[i];
    }
    return it == c.end() ? nullptr : hCtl;
}

HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    WindowState* w = WindowRegistry::Find(hCtl);
    if (!w || w->parent != hDlg) return nullptr;
    std::vector<HWND> group = GroupOf(w);
    size_t n = group.size();
    size_t start = static_cast<size_t>(std::find(group.begin(), group.end(), hCtl) - group.begin());
    for (size_t k = 1; k < n; ++k) {
        size_t i = bPrevious ? (start + n - k) % n : (start + k) % n;
        if (IsFocusable(WindowRegistry::Find(group[i]))) return group[i];
    }
    return hCtl;
}

BOOL IsDialogMessageA(HWND hDlg, LPMSG lpMsg)
{
    WindowState* d = WindowRegistry::Find(hDlg);
    if (!d || !lpMsg || !WindowRegistry::IsDescendant(hDlg, lpMsg->hwnd)) return FALSE;
    UINT msg = lpMsg->message;
    if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
        int vk = static_cast<int>(lpMsg->wParam);
        bool ctrl = WindowRegistry::IsKeyDown(VK_CONTROL);
        bool alt = WindowRegistry::IsKeyDown(VK_MENU);
        bool shift = WindowRegistry::IsKeyDown(VK_SHIFT);
        HWND focus = WindowRegistry::Focus();
        if (focus && !WindowRegistry::IsDescendant(hDlg, focus)) focus = nullptr;
        WindowState* f = WindowRegistry::Find(focus);
        if (f == d) f = nullptr;
        switch (vk) {
        case VK_TAB:
            if (ctrl || alt) break;
            if (HWND next = GetNextDlgTabItem(hDlg, f ? focus : nullptr, shift)) FocusForKeyboard(next);
            return TRUE;
        case VK_ESCAPE: {
            HWND cancel = GetDlgItem(hDlg, IDCANCEL);
            WindowState* c = WindowRegistry::Find(cancel);
            if (!c || c->enabled)
                SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
            return TRUE;
        }
        case VK_RETURN: {
            // A focused push button takes Enter; otherwise the default push
            // button does. Without one, Enter does nothing.
            if (f && f->IsPushButton()) {
                NotifyParent(f, BN_CLICKED);
                return TRUE;
            }
            LRESULT def = SendMessageA(hDlg, DM_GETDEFID, 0, 0);
            if (HIWORD(def) == DC_HASDEFID) {
                int id = LOWORD(def);
                HWND btn = GetDlgItem(hDlg, id);
                WindowState* b = WindowRegistry::Find(btn);
                if (!b || b->enabled)
                    SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(btn));
            }
            return TRUE;
        }
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
            if (f && f->kind == WindowKind::Button && !ctrl && !alt) {
                MoveInGroup(hDlg, focus, vk == VK_LEFT || vk == VK_UP);
                return TRUE;
            }
            break;
        default: break;
        }
        // Access keys: with Alt, or alone when the focus is not on an edit.
        bool keyChar = (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9');
        if (keyChar && !ctrl && (alt || !f || f->kind != WindowKind::Edit)) {
            if (DoMnemonic(d, vk) || alt) return TRUE;
        }
    }
    DispatchMessageA(lpMsg);
    TranslateMessage(lpMsg);
    return TRUE;
}

BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString)
{
    return SetWindowTextA(GetDlgItem(hDlg, nIDDlgItem), lpString);
}

UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax)
{
    return static_cast<UINT>(GetWindowTextA(GetDlgItem(hDlg, nIDDlgItem), lpString, cchMax));
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

BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
        if (HWND h = GetDlgItem(hDlg, id))
            SendMessageA(h, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}
