// Data exchange between a dialog's controls and its members: DoDataExchange
// calls the DDX_ and DDV_ functions below; UpdateData(FALSE) loads the
// controls from the members, UpdateData(TRUE) saves the controls into the
// members and validates. A failed conversion or validation shows its message,
// focuses the control (selecting an edit's text) and makes UpdateData return
// FALSE; the members exchanged before it keep their new values.
#pragma once

#include "mfc/CString.h"
#include "win32/User.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;

    // The control `nIDC` of the dialog; remembered as the last control. A
    // missing control is a fault of the program: said on standard error, and
    // the exchange fails.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Ends the exchange as failed: in the save direction the last control
    // takes the focus (an edit with its whole text selected).
    [[noreturn]] void Fail();
};

// Binds `rControl` to the control (once; later calls leave it bound).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// The window text of the control.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Loading limits the last edit to nChars bytes (EM_LIMITTEXT); saving refuses
// a longer value.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
// A group of radio buttons: nIDC is the first button of the group (WS_GROUP);
// the group runs to the next control with WS_GROUP, and only its radio buttons
// count. value is the index of the checked button, -1 for none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
