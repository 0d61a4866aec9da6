// Dialog navigation by keyboard: Tab and Shift+Tab, the arrow keys within a
// group, Enter and Esc, and access keys ("&N" in a control's text).
#include "win32/ControlClasses.h"
#include "win32/Mbcs.h"

#include <algorithm>
#include <cctype>

using win::WindowKind;
using win::WindowRegistry;
using win::WindowState;
using win::user::ClickButton;
using win::user::GroupOf;
using win::user::NotifyParent;

namespace {

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
