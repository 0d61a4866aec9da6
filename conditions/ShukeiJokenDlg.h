// The conditions dialog "消費税 - 集計条件" (template 130): the source of the
// figures (journal entries over a range of 月度, or the values saved in the
// tax-return screen), the months, the sales and purchase methods, the
// 「2割特例」 and the output file of one export.
//
// The run constructs it, sets the input members, calls DoModal and reads the
// result members unless the result is 1006:
//   inputs   m_szUserID, m_lSelectedNo, m_lSelectedDataNo, m_szDataID,
//            m_strPresetPath, m_lKikanFrom, m_lKikanTo, m_nSavedStartMonth,
//            m_nSavedEndMonth, m_bKakoJisseki, m_bSaveInfoUsable, the five
//            header texts, m_nKazeiKubun, m_bNiwariTokurei, m_nUriageHoushiki,
//            m_nShiireHoushiki
//   results  m_strStartMonth, m_strEndMonth, m_strOutputPath, m_nShukeiMode
//            and the low bytes of m_bNiwariTokurei, m_nUriageHoushiki and
//            m_nShiireHoushiki
// DoModal gives 1005 after 実行 with every check passed, 1006 after a
// cancellation or the refusal of the dataset at initialisation. After a
// completed export the run calls WriteJokenSettings on the same object.
#pragma once

#include "conditions/PathParts.h"
#include "mfc/Afx.h"
#include "mfc/CButton.h"
#include "mfc/CDialog.h"
#include "mfc/CEdit.h"
#include "mfc/CStatic.h"
#include "suite/ClToolTipMgr.h"

class CShukeiJokenDlg : public CDialog {
public:
    explicit CShukeiJokenDlg(CWnd* pParent = nullptr);
    ~CShukeiJokenDlg() override;

    // 0 免税, 1 簡易課税, 2 原則課税: the run's taxation kind, set by the run
    // before DoModal; decides which calculation-method choices are offered.
    short m_nKazeiKubun;
    CStatic m_stcEndMonthUnit;
    CStatic m_stcStartMonthUnit;
    CButton m_grpOutput;
    CEdit m_edtOutputPath;
    CEdit m_edtEndMonth;
    CEdit m_edtStartMonth;
    CButton m_btnBrowse;
    CButton m_btnExecute;
    CString m_strCompanyName;
    CString m_strPeriod;
    CString m_strKazeiKubun;
    CString m_strDetailLabel;
    CString m_strDetailValue;
    CString m_strStartMonth;
    CString m_strEndMonth;
    CString m_strOutputPath;
    int m_nShukeiMode;       // 0 aggregate journal entries, 1 saved tax-return values
    int m_bNiwariTokurei;
    int m_nUriageHoushiki;   // 1 積み上げ, 0 割り戻し
    int m_nShiireHoushiki;   // 1 積み上げ, 0 割り戻し, 2 none
    short m_nStartMonth;     // as remembered at initialisation
    short m_nEndMonth;
    short m_nSavedStartMonth;
    short m_nSavedEndMonth;
    long m_lSelectedNo;
    long m_lSelectedDataNo;
    char m_szDataID[35];
    long m_lKikanFrom;       // fiscal period, yyyymmdd
    long m_lKikanTo;
    int m_bKakoJisseki;
    int m_bSaveInfoUsable;
    CString m_strPresetPath;
    char m_szUserID[65];
    ClToolTipMgr m_ToolTipMgr;
    int m_bPathFixed;
    char m_szStoredPath[kPathBufferSize];
    BYTE m_bySavedNiwari;
    BYTE m_bySavedUriage;
    BYTE m_bySavedShiire;

    // The first and last 月度 of a fiscal period (the last plus 100 when the
    // period runs into the next calendar year); either pointer may be null.
    // Forwards to the free function of conditions/PeriodMonths.h, which the
    // run's month-range condition uses too.
    static void GetPeriodMonths(long lFrom, long lTo, short* pFirst, short* pLast);

    // The first and last date of a 月度 of the dataset's fiscal period. Gives 0.
    int GetMonthDates(short nMonth, long* pFrom, long* pTo);

    // The remembered conditions of this user and dataset (settings file).
    // 1 with the line's values; 0, outputs untouched, when there is none.
    BOOL ReadJokenSettings(short* pStartMonth, short* pEndMonth, char* pszPath, int* pMode, BYTE* pNiwari,
                           BYTE* pUriage, BYTE* pShiire);
    // Remembers the conditions of a completed export. Without a path the
    // path read when the dialog opened (m_szStoredPath) is kept.
    BOOL WriteJokenSettings(short nStartMonth, short nEndMonth, LPCSTR pszPath, int nMode, int nNiwari,
                            int nUriage, int nShiire);

    // The output-path checks of 実行 that belong to the dialog.
    static int IsValidOutputLocation(LPCSTR pszPath);
    static int IsUsableDrive(int nLetter, int nMode);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    // The dialog ends only through 実行 with its checks, or a cancellation:
    // an OK command (Enter where no control of the dialog takes it) is
    // ignored.
    void OnOK() override;

    afx_msg void OnRadioShukeiKikan();
    afx_msg void OnRadioSeihinValue();
    afx_msg void OnUriageTsumiage();
    afx_msg void OnShiireWarimodoshi();
    afx_msg void OnNiwariTokurei();
    afx_msg void OnExecute();
    afx_msg void OnBrowse();
    afx_msg void OnButtonCancel();
    afx_msg void OnDestroy();

    void SetMonthTexts(short nStart, short nEnd);
    void UpdateControlStates();

    DECLARE_MESSAGE_MAP()

private:
    // The conditions the dialog opens with, before they reach the members
    // and the controls: the output path read or built, the source (0 journal
    // entries, 1 saved values), the months and the three choices as bytes.
    struct OpeningConditions {
        char szPath[kPathBufferSize];
        int nMode;
        short nStartMonth;
        short nEndMonth;
        BYTE byNiwari;
        BYTE byUriage;
        BYTE byShiire;
    };

    // The steps of OnInitDialog, in their order.
    // A tax-exempt dataset or past results: the message, then EndDialog(1006).
    void RefuseUnusableDataset();
    // The path edit takes 255 characters.
    void LimitOutputPathLength();
    // Clears m_szStoredPath and keeps the saved return's choices in
    // m_bySaved*; the opening choices start as those.
    OpeningConditions StartFromSavedReturn();
    // The remembered line of this user and dataset (ReadJokenSettings) over
    // the period's months: with mode 1 only its path is taken (also into
    // m_szStoredPath), with another mode its months and choices as well.
    // The line's months are taken as they are, 13 or 0 too (実行 refuses
    // them as typed ones); only when either month's text is longer than the
    // two characters of the month edits (below -9 or above 99), which no
    // data exchange could read back, do the period's months stand for both.
    void TakeRememberedConditions(OpeningConditions* pC);
    // The months and the three choices into their members.
    void AdoptOpeningConditions(const OpeningConditions& c);
    // Without usable saved values: mode 0, both source buttons disabled.
    void WithdrawSavedValuesChoice(int* pMode);
    // The caller's preset path, fixed; else the path read or built.
    void SetOpeningOutputPath(LPCSTR pszPath);
    // The source buttons, the month texts and m_nShukeiMode for the mode.
    void ShowShukeiMode(int nMode);
    // No purchase method but under 原則課税, and one chosen there unless
    // 「2割特例」 applies.
    void SettleShiireHoushiki(BYTE byNiwari);
    // The method buttons and the 「2割特例」 box.
    void ShowHoushikiChoices(BYTE byNiwari);
    // The tooltip of the saved-values choice, under 原則課税 only.
    void InitToolTip();

    // The dataset's fiscal period from the suite; the run's m_lKikanFrom and
    // m_lKikanTo when the dataset or its period cannot be had.
    void GetDatasetPeriod(long* pFrom, long* pTo);
    // The default output path: the suite's output folder, else the folder
    // of temporary files, then "*.xml".
    void BuildDefaultPath(char* pszPath);
    bool IsChecked(int nID) const;
    void SetChecked(int nID, bool bChecked);
    void EnableControl(int nID, BOOL bEnable);
    bool IsControlEnabled(int nID) const;
    // Focuses an edit with its whole text selected and the caret in view.
    void FocusEditAll(int nID);
    void FocusControl(int nID);
    // Shows a message owned by the dialog with the caption "消費税".
    int ShowMessage(LPCSTR pszText, UINT nType);
    // The month check of 実行: 0 when the months pass, else the id of the
    // edit to correct.
    int CheckMonths(short nStart, short nEnd) const;
    // The path checks of 実行 and the folder creation; false after a refusal
    // (its message shown).
    bool CheckOutputPath();
    CString SettingsKey() const;
};
