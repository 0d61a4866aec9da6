// Dialog templates by resource id, as res/ registers them. A template holds
// what the resource compiler would have compiled: the dialog's caption,
// styles, font and size in dialog units, and its controls in tab order.
//
// Control styles are written as in the resource script's control statement:
// WS_CHILD and WS_VISIBLE are implied (set `hidden` for a control that starts
// hidden); give WS_TABSTOP, WS_GROUP, WS_DISABLED, WS_BORDER and the class's
// own style bits (BS_AUTORADIOBUTTON, ES_NUMBER, ...) explicitly. Dialog
// styles are the dialog's own (WS_POPUP | WS_CAPTION | WS_SYSMENU |
// DS_MODALFRAME ...); a dialog with WS_VISIBLE shows as soon as a modeless
// Create has made it.
//
// Registration: DialogTemplate::Register, or a static ResourceDialog object.
// A translation unit in a static library is linked only when some symbol of
// it is referenced, so res/ must make sure its registrations are.
#pragma once

#include "win32/User.h"

#include <string>
#include <vector>

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

struct DialogItem {
    int id = IDC_STATIC;
    std::string className;  // "BUTTON", "EDIT", "STATIC", "msctls_progress32"
    std::string text;       // code page 932
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    bool hidden = false;
};

// A visible control, as a resource script's CONTROL statement gives it.
DialogItem MakeDialogItem(int id, const char* className, const char* text, DWORD style, int x, int y, int cx, int cy,
                          DWORD exStyle = 0);

struct DialogTemplate {
    UINT id = 0;
    std::string caption;    // code page 932
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string fontName;   // code page 932, e.g. "ＭＳ Ｐゴシック"
    int fontSize = 9;       // points
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    std::vector<DialogItem> items;     // in tab order

    // Adds or replaces the template of its id.
    static void Register(const DialogTemplate& dialogTemplate);
    // The template of `id`, or null. The pointer stays valid until that id is
    // registered again.
    static const DialogTemplate* Find(UINT id);
};

// `static const ResourceDialog dlg130(MakeTemplate130());` registers at start-up.
struct ResourceDialog {
    explicit ResourceDialog(const DialogTemplate& dialogTemplate) { DialogTemplate::Register(dialogTemplate); }
};
