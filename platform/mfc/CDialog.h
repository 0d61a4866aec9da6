// The framework's dialog, built from a registered DialogTemplate.
//
// Modal: DoModal creates the dialog and its controls (WM_CREATE first, then
// the controls, then WM_INITDIALOG -> OnInitDialog), disables the owner,
// shows the dialog and runs the backend's modal loop until EndDialog; then it
// hides and destroys the window (WM_DESTROY -> OnDestroy), enables the owner
// again and returns the EndDialog value (-1 when the dialog could not be
// created). EndDialog inside OnInitDialog ends it before it is ever shown.
//
// Modeless: Create(id, parent) makes the dialog hidden (unless its template
// has WS_VISIBLE); ShowWindow shows it; EndDialog hides it; DestroyWindow or
// the destructor destroys it.
//
// Keyboard: every key message for the dialog or its controls goes to the
// focused control's and then the dialog's PreTranslateMessage before the
// default handling, which CDialog::PreTranslateMessage performs:
//   Esc             the cancel command (IDCANCEL -> OnCancel)
//   Enter           a focused push button is clicked; otherwise the default
//                   push button (BS_DEFPUSHBUTTON or DM_SETDEFID); with none,
//                   nothing happens
//   Tab, Shift+Tab  the next / previous enabled WS_TABSTOP control (an edit
//                   gets its whole text selected)
//   arrows          the next / previous button of a button's group (an
//                   automatic radio button is clicked)
//   Space           clicks the focused button
//   access keys     "&N" in a control's text: Alt+N, or N alone when the focus
//                   is not on an edit: a button is clicked, a label passes the
//                   focus to the control after it
// The close box sends the cancel command as well.
#pragma once

#include "mfc/CWnd.h"

class CDialog : public CWnd {
public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    BOOL PreTranslateMessage(MSG* pMsg) override;

    UINT m_nIDHelp = 0;
    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;

protected:
    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // Makes the dialog window and its controls from the template; false when
    // the template is missing or the creation was refused.
    bool CreateFromTemplate(HWND owner, bool modal);
};
