// The framework's window object. A CWnd is bound to a handle of the window
// registry in one of two ways:
//  - permanently: it created the window (CDialog), or subclassed it
//    (SubclassWindow, DDX_Control). Its window procedure
//    (message map, then default handling) and its PreTranslateMessage then see
//    the window's messages. The binding ends when the window is destroyed
//    (m_hWnd becomes null again).
//  - as a wrapper: FromHandle of a handle that has no permanent object gives
//    a CWnd that only forwards calls to the window functions. This is how a
//    foreign window (the caller's) is handled. Wrappers are kept for the rest
//    of the process, one per handle, so a pointer from FromHandle stays valid.
//    The wrapper of a control is of the control's class (CButton, CEdit,
//    CStatic, CProgressCtrl), so `(CButton*)GetDlgItem(id)` is sound.
#pragma once

#include "mfc/CCmdTarget.h"
#include "mfc/CString.h"
#include "win32/WindowRegistry.h"

class CDataExchange;

class CWnd : public CCmdTarget, public win::WindowHandler {
public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object of a handle: its permanent object, else a wrapper (null for
    // a null handle).
    static CWnd* FromHandle(HWND hWnd);
    // The permanent object of a handle, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    BOOL SubclassWindow(HWND hWnd);

    virtual BOOL DestroyWindow();

    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL ShowWindow(int nCmdShow);
    void SetWindowText(LPCTSTR lpszString);
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    CWnd* GetDlgItem(int nID) const;
    CWnd* SetFocus();
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void UpdateWindow();
    void BringWindowToTop();
    BOOL SetForegroundWindow();
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);

    void CheckDlgButton(int nIDButton, UINT nCheck);
    UINT IsDlgButtonChecked(int nIDButton) const;

    // Data exchange between the controls and the members (DoDataExchange):
    // TRUE saves the controls into the members and validates, FALSE loads the
    // controls. FALSE when a validation failed (it has shown its message and
    // focused the control).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Sees every message of the GUI thread's loop for this window or its
    // children before it is translated and dispatched: TRUE consumes it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // The window procedure: the message map, then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A WM_COMMAND: the handler of its id and code in the message map.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Called after the window is gone (m_hWnd already null).
    virtual void PostNcDestroy() {}

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    // The default processing of the message being handled.
    LRESULT Default();

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();

    // win::WindowHandler
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslate(MSG* msg) override;

    // Binds permanently (map and window procedure).
    void BindPermanent(HWND hWnd);
    void Unbind();

private:
    struct Current {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    } m_current;
    bool m_subclassed = false;  // this object's window procedure is the window's

    friend class CDataExchange;
};

// AfxMessageBox: a message box owned by the modal dialog in progress (none
// outside one), with the application's name as its caption. Without an icon
// in nType, OK and OK/Cancel boxes get the exclamation icon and Yes/No boxes
// the question icon.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
