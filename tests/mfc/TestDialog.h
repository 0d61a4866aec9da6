// A small dialog for the framework tests, on a template of its own (9001):
// two edits, two automatic radio groups (the first with a label among its
// buttons), a check box, push buttons, a progress bar.
#pragma once

#include "mfc/Afx.h"

#include <vector>

enum {
    IDD_TEST = 9001,
    IDC_MONTH = 1001,   // digits only, limit 2 by DDV_MaxChars
    IDC_NAME = 1002,
    IDC_GROUPBOX = 1010,
    IDC_A = 1011,       // group 1: A, (label), B, C
    IDC_NOTE = 1014,
    IDC_B = 1012,
    IDC_C = 1013,
    IDC_X = 1020,       // group 2: X, Y
    IDC_Y = 1021,
    IDC_CHECK = 1030,
    IDC_RUN = 1040,     // ends the dialog with 100 after UpdateData(TRUE)
    IDC_OFF = 1041,     // disabled push button
    IDC_ASK = 1042,     // asks a Yes/No/Cancel question
    IDC_BAR = 1050,
};

inline void RegisterTestTemplate()
{
    DialogTemplate t;
    t.id = IDD_TEST;
    t.caption = "テスト";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.fontName = "ＭＳ Ｐゴシック";
    t.fontSize = 9;
    t.cx = 200;
    t.cy = 150;
    t.items = {
        {IDC_MONTH, "EDIT", "", ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP, 0, 5, 5, 20, 12},
        {IDC_NAME, "EDIT", "", WS_BORDER | WS_TABSTOP, 0, 30, 5, 80, 12},
        {IDC_GROUPBOX, "BUTTON", "組(&G)", BS_GROUPBOX, 0, 5, 20, 150, 60},
        {IDC_A, "BUTTON", "A(&A)", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 10, 30, 50, 10},
        {IDC_NOTE, "STATIC", "note", 0, 0, 70, 30, 50, 10},
        {IDC_B, "BUTTON", "B(&B)", BS_AUTORADIOBUTTON, 0, 10, 45, 50, 10},
        {IDC_C, "BUTTON", "C", BS_AUTORADIOBUTTON, 0, 10, 60, 50, 10},
        {IDC_X, "BUTTON", "X(&1)", BS_AUTORADIOBUTTON | WS_GROUP, 0, 10, 85, 50, 10},
        {IDC_Y, "BUTTON", "Y(&2)", BS_AUTORADIOBUTTON, 0, 70, 85, 50, 10},
        {IDC_CHECK, "BUTTON", "確認(&K)", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 0, 10, 100, 80, 10},
        {IDC_RUN, "BUTTON", "実行", BS_PUSHBUTTON | WS_TABSTOP, 0, 10, 120, 40, 14},
        {IDC_OFF, "BUTTON", "無効", BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 0, 60, 120, 40, 14},
        {IDC_ASK, "BUTTON", "質問", BS_PUSHBUTTON | WS_TABSTOP, 0, 110, 120, 40, 14},
        {IDC_BAR, "msctls_progress32", "", WS_BORDER, 0, 5, 138, 190, 8},
    };
    DialogTemplate::Register(t);
}

class CTestDlg : public CDialog {
public:
    CTestDlg() : CDialog(IDD_TEST) {}

    CString m_name;
    CString m_month;
    int m_group1 = 0;
    int m_group2 = 1;
    int m_check = 0;
    CEdit m_edMonth;
    CProgressCtrl m_bar;

    // What happened.
    int m_creates = 0;
    int m_destroys = 0;
    int m_cancels = 0;
    int m_runs = 0;
    int m_answer = 0;
    bool m_refuseCancelOnce = false;
    int m_endInInit = 0;                 // EndDialog(value) inside OnInitDialog when not 0
    std::vector<UINT> m_keyMessages;     // every key message PreTranslateMessage saw
    std::vector<bool> m_altDown;         // GetKeyState(VK_MENU) < 0 at each

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_MONTH, m_edMonth);
        DDX_Control(pDX, IDC_BAR, m_bar);
        DDX_Text(pDX, IDC_MONTH, m_month);
        DDV_MaxChars(pDX, m_month, 2);
        DDX_Text(pDX, IDC_NAME, m_name);
        DDX_Radio(pDX, IDC_A, m_group1);
        DDX_Radio(pDX, IDC_X, m_group2);
        // The check box as the program's dialogs keep one: read and set directly.
        if (pDX->m_bSaveAndValidate)
            m_check = static_cast<int>(IsDlgButtonChecked(IDC_CHECK));
        else
            CheckDlgButton(IDC_CHECK, static_cast<UINT>(m_check));
    }

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (m_endInInit) EndDialog(m_endInInit);
        return TRUE;
    }

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN) {
            m_keyMessages.push_back(pMsg->message);
            m_altDown.push_back(GetKeyState(VK_MENU) < 0);
            // F12 ends the dialog before any default handling.
            if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F12) {
                EndDialog(12);
                return TRUE;
            }
            // Alt + keypad 2 selects Y directly, without the group's click.
            if (GetKeyState(VK_MENU) < 0 && pMsg->wParam == VK_NUMPAD2) {
                CheckDlgButton(IDC_X, BST_UNCHECKED);
                CheckDlgButton(IDC_Y, BST_CHECKED);
                return TRUE;
            }
            // Enter in the name edit is eaten here; elsewhere it goes on.
            if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN &&
                pMsg->hwnd == ::GetDlgItem(m_hWnd, IDC_NAME)) {
                ::SetFocus(::GetDlgItem(m_hWnd, IDC_RUN));
                return TRUE;
            }
        }
        return CDialog::PreTranslateMessage(pMsg);
    }

    void OnCancel() override
    {
        ++m_cancels;
        if (m_refuseCancelOnce) {
            m_refuseCancelOnce = false;
            return;
        }
        CDialog::OnCancel();
    }

    afx_msg int OnCreate(LPCREATESTRUCT cs)
    {
        ++m_creates;
        return CDialog::OnCreate(cs);
    }
    afx_msg void OnDestroy()
    {
        ++m_destroys;
        CDialog::OnDestroy();
    }
    afx_msg void OnRun()
    {
        ++m_runs;
        if (UpdateData(TRUE)) EndDialog(100);
    }
    afx_msg void OnAsk() { m_answer = MessageBox("続けますか？", "消費税", MB_YESNOCANCEL | MB_ICONQUESTION); }

    DECLARE_MESSAGE_MAP()
};

inline BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_RUN, &CTestDlg::OnRun)
    ON_BN_CLICKED(IDC_ASK, &CTestDlg::OnAsk)
END_MESSAGE_MAP()
