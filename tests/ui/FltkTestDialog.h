// Dialogs for the real-window tests, on templates of their own: 9101 has the
// kinds of controls of the conditions dialog (labels and colons aligned and
// vertically centred, a group of radio buttons with access keys, digits-only
// right-aligned month edits, a path edit that scrolls, a check box, push
// buttons, a picture anchor with a tooltip), 9102 the two bars of the
// progress dialog.
#pragma once

#include "mfc/Afx.h"
#include "suite/ClToolTipMgr.h"

#include <vector>

enum {
    IDD_FLTK_TEST = 9101,
    IDD_FLTK_PROGRESS = 9102,
    IDC_F_LABEL = 2000,
    IDC_F_VALUE = 2001,
    IDC_F_GROUP = 2010,
    IDC_F_MODE0 = 2011,
    IDC_F_MODE1 = 2012,
    IDC_F_ANCHOR = 2013,
    IDC_F_START = 2020,
    IDC_F_END = 2021,
    IDC_F_SALES0 = 2030,
    IDC_F_SALES1 = 2031,
    IDC_F_CHECK = 2040,
    IDC_F_PATH = 2050,
    IDC_F_BROWSE = 2051,
    IDC_F_RUN = 2060,
    IDC_F_CANCEL = 2061,
    IDC_F_ASK = 2062,
    IDC_F_MAIN = 2070,
    IDC_F_SUB = 2071,
};

inline void RegisterFltkTestTemplates()
{
    DialogTemplate t;
    t.id = IDD_FLTK_TEST;
    t.caption = "消費税 - テスト";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.fontName = "ＭＳ Ｐゴシック";
    t.fontSize = 9;
    t.x = 10;
    t.y = 10;
    t.cx = 255;
    t.cy = 190;
    t.items = {
        {IDC_F_LABEL, "STATIC", "事業所名", SS_LEFT | SS_CENTERIMAGE, 0, 7, 7, 56, 12},
        {IDC_STATIC, "STATIC", "：", SS_RIGHT | SS_CENTERIMAGE, 0, 65, 7, 9, 12},
        {IDC_F_VALUE, "STATIC", "株式会社 欅商事", SS_LEFT | SS_CENTERIMAGE, 0, 79, 7, 169, 12},
        {IDC_F_GROUP, "BUTTON", "集計方法", BS_GROUPBOX, 0, 5, 24, 241, 40},
        {IDC_F_MODE0, "BUTTON", "集計期間を指定して仕訳を集計する(&N)", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0,
         13, 36, 150, 10},
        {IDC_F_MODE1, "BUTTON", "保存した値を使用する(&P)", BS_AUTORADIOBUTTON | WS_TABSTOP, 0, 13, 50, 150, 10},
        {IDC_F_ANCHOR, "STATIC", "", SS_ICON, 0, 210, 48, 13, 14},
        {IDC_STATIC, "STATIC", "集計期間", SS_LEFT | SS_CENTERIMAGE | WS_GROUP, 0, 7, 72, 56, 12},
        {IDC_F_START, "EDIT", "", ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP, 0, 79, 72, 18, 12},
        {IDC_STATIC, "STATIC", "～", SS_CENTER | SS_CENTERIMAGE, 0, 124, 72, 12, 12},
        {IDC_F_END, "EDIT", "", ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP, 0, 137, 72, 18, 12},
        {IDC_F_SALES0, "BUTTON", "割り戻し計算を行う(&1)", BS_AUTORADIOBUTTON | WS_GROUP, 0, 16, 90, 87, 14},
        {IDC_F_SALES1, "BUTTON", "積み上げ計算を行う(&2)", BS_AUTORADIOBUTTON, 0, 16, 106, 85, 14},
        {IDC_F_CHECK, "BUTTON", "「2割特例」を適用する(&R)", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 0, 7, 126, 152, 10},
        {IDC_F_PATH, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, 9, 145,
         171, 12},
        {IDC_F_BROWSE, "BUTTON", "参照(&D)...", BS_PUSHBUTTON | WS_TABSTOP, 0, 185, 144, 57, 14},
        {IDC_F_ASK, "BUTTON", "質問(&Q)", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, 65, 169, 57, 14},
        {IDC_F_RUN, "BUTTON", "実行(F12)", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, 127, 169, 57, 14},
        {IDC_F_CANCEL, "BUTTON", "キャンセル(Esc)", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, 189, 169, 57, 14},
    };
    DialogTemplate::Register(t);

    DialogTemplate p;
    p.id = IDD_FLTK_PROGRESS;
    p.caption = "集計中";
    p.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SYSMODAL | DS_SETFONT;
    p.fontName = "ＭＳ Ｐゴシック";
    p.fontSize = 9;
    p.cx = 221;
    p.cy = 44;
    p.items = {
        {IDC_F_MAIN, "msctls_progress32", "Progress1", WS_BORDER | PBS_SMOOTH, WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, 5, 6,
         211, 22},
        {IDC_F_SUB, "msctls_progress32", "Progress1", WS_BORDER, WS_EX_STATICEDGE, 5, 29, 211, 10},
    };
    DialogTemplate::Register(p);
}

class CFltkTestDlg : public CDialog {
public:
    CFltkTestDlg() : CDialog(IDD_FLTK_TEST) {}

    CString m_start;
    CString m_end;
    CString m_path;
    int m_mode = 0;
    int m_check = 0;
    int m_sales = -1;         // 1 when the second sales button was selected at 実行
    int m_answer = 0;         // of the 質問 box
    int m_cancelAnswer = 0;   // of the cancel message
    CString m_saved;          // the save box's choice
    CString m_browseName = "*.xml";  // the save box's file name and folder
    CString m_browseDir = "C:\\";
    std::vector<UINT> m_keyMessages;  // WM_KEYDOWN / WM_SYSKEYDOWN seen first by PreTranslateMessage
    std::vector<WPARAM> m_keys;
    std::vector<bool> m_alt;

protected:
    ClToolTipMgr m_tips;

    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Text(pDX, IDC_F_START, m_start);
        DDV_MaxChars(pDX, m_start, 2);
        DDX_Text(pDX, IDC_F_END, m_end);
        DDV_MaxChars(pDX, m_end, 2);
        DDX_Text(pDX, IDC_F_PATH, m_path);
        DDX_Radio(pDX, IDC_F_MODE0, m_mode);
        // The check box as the program's dialogs keep one: read and set directly.
        if (pDX->m_bSaveAndValidate)
            m_check = static_cast<int>(IsDlgButtonChecked(IDC_F_CHECK));
        else
            CheckDlgButton(IDC_F_CHECK, static_cast<UINT>(m_check));
    }

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ::SendMessageA(::GetDlgItem(m_hWnd, IDC_F_PATH), EM_LIMITTEXT, 255, 0);
        CheckDlgButton(IDC_F_SALES0, BST_CHECKED);
        static const TOOLTIPMSG_TABLE table[] = {{IDC_F_ANCHOR, "保存した値を使用します。\n二行目の説明です。", 1}};
        m_tips.Init(m_hWnd, table, 1);
        return TRUE;
    }

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN) {
            m_keyMessages.push_back(pMsg->message);
            m_keys.push_back(pMsg->wParam);
            bool alt = GetKeyState(VK_MENU) < 0;
            m_alt.push_back(alt);
            bool plain = !alt && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0;
            if (plain && pMsg->wParam == VK_F12) {
                OnRun();
                return TRUE;
            }
            if (alt && pMsg->wParam == VK_NUMPAD2) {
                CheckDlgButton(IDC_F_SALES0, BST_UNCHECKED);
                CheckDlgButton(IDC_F_SALES1, BST_CHECKED);
                ::SetFocus(::GetDlgItem(m_hWnd, IDC_F_SALES1));
                return TRUE;
            }
            if (plain && pMsg->wParam == VK_RETURN && pMsg->hwnd == ::GetDlgItem(m_hWnd, IDC_F_START)) {
                ::SetFocus(::GetDlgItem(m_hWnd, IDC_F_END));
                ::SendMessageA(::GetDlgItem(m_hWnd, IDC_F_END), EM_SETSEL, 0, -1);
                return TRUE;
            }
        }
        return CDialog::PreTranslateMessage(pMsg);
    }

    void OnCancel() override
    {
        m_cancelAnswer = MessageBox("｢消費税｣の集計を中止します。", "消費税", MB_OK | MB_ICONINFORMATION);
        EndDialog(1006);
    }

    afx_msg void OnRun()
    {
        m_sales = IsDlgButtonChecked(IDC_F_SALES1) == BST_CHECKED ? 1 : 0;
        if (UpdateData(TRUE)) EndDialog(1005);
    }
    afx_msg void OnCancelButton() { OnCancel(); }
    afx_msg void OnAsk() { m_answer = MessageBox("上書きしますか?", "消費税", MB_YESNO | MB_ICONQUESTION); }
    afx_msg void OnBrowse()
    {
        CFileDialog box(FALSE, "xml", m_browseName, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST,
                        "XML ファイル (*.xml)|*.xml|すべてのファイル (*.*)|*.*||", this);
        box.m_ofn.lpstrInitialDir = m_browseDir;
        if (box.DoModal() == IDOK) {
            m_saved = box.GetPathName();
            ::SetWindowTextA(::GetDlgItem(m_hWnd, IDC_F_PATH), m_saved);
        }
    }

    DECLARE_MESSAGE_MAP()
};

inline BEGIN_MESSAGE_MAP(CFltkTestDlg, CDialog)
    ON_BN_CLICKED(IDC_F_RUN, &CFltkTestDlg::OnRun)
    ON_BN_CLICKED(IDC_F_CANCEL, &CFltkTestDlg::OnCancelButton)
    ON_BN_CLICKED(IDC_F_ASK, &CFltkTestDlg::OnAsk)
    ON_BN_CLICKED(IDC_F_BROWSE, &CFltkTestDlg::OnBrowse)
END_MESSAGE_MAP()

class CFltkProgressDlg : public CDialog {
public:
    CFltkProgressDlg() : CDialog(IDD_FLTK_PROGRESS) {}
    CProgressCtrl m_main;
    CProgressCtrl m_sub;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_F_MAIN, m_main);
        DDX_Control(pDX, IDC_F_SUB, m_sub);
    }
};
