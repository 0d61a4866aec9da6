// The default procedure of the system's dialog class: the default push
// button (DM_GETDEFID, DM_SETDEFID), the close box, WM_NEXTDLGCTL.
#include "win32/ControlClasses.h"

using win::WindowKind;
using win::WindowRegistry;
using win::WindowState;

namespace {

bool CanFocus(WindowState* w) { return w && w->enabled; }

// The id of the default push button of a dialog, 0 when it has none.
int DefaultId(WindowState* dlg)
{
    if (dlg->defId) return dlg->defId;
    for (HWND h : dlg->children)
        if (WindowState* c = WindowRegistry::Find(h); c && c->kind == WindowKind::Button && c->ButtonType() == BS_DEFPUSHBUTTON)
            return c->id;
    return 0;
}

}  // namespace

namespace win::user {

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

}  // namespace win::user
