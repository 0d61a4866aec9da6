// The default procedure of the system's button class: check state, style,
// clicks (BM_CLICK, the space bar) and automatic radio groups.
#include "win32/ControlClasses.h"

using win::WindowKind;
using win::WindowRegistry;
using win::WindowState;

namespace {

using win::user::Changed;

void SetCheck(WindowState* w, UINT check)
{
    if (w->check == check) return;
    w->check = check;
    Changed(w->hwnd, win::Change::Check);
}

}  // namespace

namespace win::user {

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
            Changed(w->hwnd, win::Change::Style);
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

}  // namespace win::user
