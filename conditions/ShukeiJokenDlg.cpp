#include "conditions/ShukeiJokenDlg.h"

#include "res/Edition.h"
#include "conditions/FolderChain.h"
#include "conditions/JokenSettingsFile.h"
#include "conditions/OutputLocation.h"
#include "conditions/PathParts.h"
#include "conditions/PeriodMonths.h"
#include "mfc/CDataExchange.h"
#include "mfc/CFileDialog.h"
#include "res/ResourceIds.h"
#include "suite/ClAccPeriod.h"
#include "suite/ClDataMgr.h"
#include "suite/ClFileMgr.h"
#include "suite/ClSetData.h"
#include "suite/ClSetMgr.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {

const char kCaption[] = "消費税";

const char kTooltipText[] =
    "連動元製品にて入力・保存した消費税申告書の情報を使用します。\n"
    "仕訳から集計できない以下の金額を連動元製品にて入力済みの場合、\n"
    "こちらを選択することで連動できます。\n\n"
    "・特定課税仕入れ\n"
    "・納税義務の免除を受けない(受ける)こととなった場合における消費税の調整額\n"
    "・課税売上割合変動時調整対象固定資産に係る消費税額の調整額\n"
    "・調整対象固定資産を課税業務用に転用した場合の調整額\n\n"
    "※選択データにて[消費税申告書作成]を起動したことがない場合は選択できません。";
static_assert(sizeof(kTooltipText) - 1 == 441, "the tooltip text is 441 bytes of code page 932");

const TOOLTIPMSG_TABLE kToolTips[] = {
    {IDC_PIC_TOOLTIP, kTooltipText, 1},
};

// The first day from which 「2割特例」 can apply.
const long kNiwariFirstDay = 20231001;

const char kMsgMonths[] = "集計期間に誤りがあります。\n\n集計期間を設定しなおしてください。";
const char kMsgNiwariPeriod[] = "指定された集計期間は「2割特例」の対象期間外です。\n集計条件を見直してください。";
const char kMsgNoPath[] = "データ出力先が指定されていません。\n\n出力先を指定してください。";
const char kMsgBadChars[] = "データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。";
const char kMsgBadDrive[] = "ドライブ名が有効でありません。\n\n有効なドライブを指定してください。";
const char kMsgNoFileName[] = "ファイル名が指定されていません。";
const char kMsgCreateFolder[] = "指定されたフォルダは存在しません。\n\n作成してもよろしいですか？";
const char kMsgCreateFailed[] = "フォルダの作成に失敗しました。\n\n出力先を再入力してください。";
const char kMsgOverwrite[] = "同名のファイルが存在します。\n\n上書きしてもよろしいですか？";
const char kMsgCancel[] = "｢消費税｣の集計を中止します。";
const char kMsgKakoJisseki[] = "過去実績データは、連携の対象として使用できません。";
const char kMsgMenzei[] = "消費税申告区分が免税のデータは、連携の対象として使用できません。";
const char kMsgQuit[] = "\n\nアプリケーションを終了します。";

// The run goes on without its conditions remembered; its user learns of it,
// and why, on standard error (the closing message stays as it is).
void TellNotRemembered(LPCSTR pszSettingsFile, JokenSettingsFile::Failure why)
{
    const std::string text = std::string(kCaption) + ": 今回の集計条件は記憶されませんでした（設定ファイル " +
                             pszSettingsFile + "）。" + JokenSettingsFile::FailureText(why);
    OutputDebugStringA(text.c_str());
}

// The month edits hold two characters.
constexpr int kMonthEditChars = 2;

// Whether a month's text, as the edits are given it, fits them (-9 to 99).
bool FitsMonthEdit(short nMonth)
{
    char buf[16];
    return std::strlen(_itoa(nMonth, buf, 10)) <= static_cast<size_t>(kMonthEditChars);
}

bool IsDown(int vk)
{
    return GetKeyState(vk) < 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(CShukeiJokenDlg, CDialog)
    ON_BN_CLICKED(IDC_RDO_SHUKEIKIKAN, &CShukeiJokenDlg::OnRadioShukeiKikan)
    ON_BN_CLICKED(IDC_RDO_SEIHINVALUE, &CShukeiJokenDlg::OnRadioSeihinValue)
    ON_BN_CLICKED(IDC_RDO_URIAGE_TSUMIAGE, &CShukeiJokenDlg::OnUriageTsumiage)
    ON_BN_CLICKED(IDC_RDO_SHIIRE_WARIMODOSHI, &CShukeiJokenDlg::OnShiireWarimodoshi)
    ON_BN_CLICKED(IDC_CHK_NIWARI, &CShukeiJokenDlg::OnNiwariTokurei)
    ON_BN_CLICKED(IDC_BTN_EXECUTE, &CShukeiJokenDlg::OnExecute)
    ON_BN_CLICKED(IDC_BTN_BROWSE, &CShukeiJokenDlg::OnBrowse)
    ON_BN_CLICKED(IDC_BTN_CANCEL, &CShukeiJokenDlg::OnButtonCancel)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CShukeiJokenDlg::CShukeiJokenDlg(CWnd* pParent)
    : CDialog((RegisterConditionsDialogTemplate(), IDD_SHUKEIJOKEN), pParent),
      m_nKazeiKubun(0),
      m_nShukeiMode(0),
      m_bNiwariTokurei(0),
      m_nUriageHoushiki(0),
      m_nShiireHoushiki(0),
      m_nStartMonth(0),
      m_nEndMonth(0),
      m_nSavedStartMonth(0),
      m_nSavedEndMonth(0),
      m_lSelectedNo(0),
      m_lSelectedDataNo(0),
      m_szDataID{},
      m_lKikanFrom(0),
      m_lKikanTo(0),
      m_bKakoJisseki(0),
      m_bSaveInfoUsable(0),
      m_szUserID{},
      m_bPathFixed(0),
      m_szStoredPath{},
      m_bySavedNiwari(0),
      m_bySavedUriage(0),
      m_bySavedShiire(0)
{
}

CShukeiJokenDlg::~CShukeiJokenDlg() = default;

void CShukeiJokenDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STC_ENDUNIT, m_stcEndMonthUnit);
    DDX_Control(pDX, IDC_STC_STARTUNIT, m_stcStartMonthUnit);
    DDX_Control(pDX, IDC_GRP_OUTPUT, m_grpOutput);
    DDX_Control(pDX, IDC_EDT_OUTPUTPATH, m_edtOutputPath);
    DDX_Control(pDX, IDC_EDT_ENDMONTH, m_edtEndMonth);
    DDX_Control(pDX, IDC_EDT_STARTMONTH, m_edtStartMonth);
    DDX_Control(pDX, IDC_BTN_BROWSE, m_btnBrowse);
    DDX_Control(pDX, IDC_BTN_EXECUTE, m_btnExecute);
    DDX_Text(pDX, IDC_STC_COMPANY, m_strCompanyName);
    DDX_Text(pDX, IDC_STC_PERIOD, m_strPeriod);
    DDX_Text(pDX, IDC_STC_KAZEI, m_strKazeiKubun);
    DDX_Text(pDX, IDC_LBL_DETAIL, m_strDetailLabel);
    DDX_Text(pDX, IDC_STC_DETAIL, m_strDetailValue);
    DDX_Text(pDX, IDC_EDT_STARTMONTH, m_strStartMonth);
    DDV_MaxChars(pDX, m_strStartMonth, kMonthEditChars);
    DDX_Text(pDX, IDC_EDT_ENDMONTH, m_strEndMonth);
    DDV_MaxChars(pDX, m_strEndMonth, kMonthEditChars);
    DDX_Text(pDX, IDC_EDT_OUTPUTPATH, m_strOutputPath);
    DDX_Radio(pDX, IDC_RDO_SHUKEIKIKAN, m_nShukeiMode);
}

// ---------------------------------------------------------------------------
// Small helpers over the controls

bool CShukeiJokenDlg::IsChecked(int nID) const
{
    return IsDlgButtonChecked(nID) == BST_CHECKED;
}

void CShukeiJokenDlg::SetChecked(int nID, bool bChecked)
{
    CheckDlgButton(nID, bChecked ? BST_CHECKED : BST_UNCHECKED);
}

void CShukeiJokenDlg::EnableControl(int nID, BOOL bEnable)
{
    if (CWnd* p = GetDlgItem(nID)) p->EnableWindow(bEnable);
}

bool CShukeiJokenDlg::IsControlEnabled(int nID) const
{
    CWnd* p = GetDlgItem(nID);
    return p && p->IsWindowEnabled();
}

void CShukeiJokenDlg::FocusControl(int nID)
{
    if (CWnd* p = GetDlgItem(nID)) p->SetFocus();
}

void CShukeiJokenDlg::FocusEditAll(int nID)
{
    CWnd* p = GetDlgItem(nID);
    if (!p) return;
    p->SetFocus();
    p->SendMessage(EM_SETSEL, 0, -1);
    p->SendMessage(EM_SCROLLCARET, 0, 0);
}

int CShukeiJokenDlg::ShowMessage(LPCSTR pszText, UINT nType)
{
    return MessageBox(pszText, kCaption, nType);
}

// ---------------------------------------------------------------------------
// Initialisation

BOOL CShukeiJokenDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    RefuseUnusableDataset();
    LimitOutputPathLength();

    OpeningConditions c = StartFromSavedReturn();
    TakeRememberedConditions(&c);
    AdoptOpeningConditions(c);
    if (m_bSaveInfoUsable == 0) WithdrawSavedValuesChoice(&c.nMode);
    if (c.szPath[0] == '\0') BuildDefaultPath(c.szPath);
    SetOpeningOutputPath(c.szPath);

    ShowShukeiMode(c.nMode);
    SettleShiireHoushiki(c.byNiwari);
    ShowHoushikiChoices(c.byNiwari);
    InitToolTip();

    UpdateData(FALSE);
    UpdateControlStates();
    return FALSE;
}

void CShukeiJokenDlg::RefuseUnusableDataset()
{
    // Tax-exempt data has empty detail texts; neither it nor past results
    // can be exported. The initialisation still runs to its end, and the
    // dialog closes as soon as it returns.
    if ((m_strDetailLabel.IsEmpty() && m_strDetailValue.IsEmpty()) || m_bKakoJisseki == 1) {
        CString text = m_bKakoJisseki == 1 ? kMsgKakoJisseki : kMsgMenzei;
        text += kMsgQuit;
        ShowMessage(text, MB_ICONEXCLAMATION);
        EndDialog(IDC_BTN_CANCEL);
    }
}

void CShukeiJokenDlg::LimitOutputPathLength()
{
    if (CWnd* p = GetDlgItem(IDC_EDT_OUTPUTPATH)) p->SendMessage(EM_LIMITTEXT, 255, 0);
}

CShukeiJokenDlg::OpeningConditions CShukeiJokenDlg::StartFromSavedReturn()
{
    std::memset(m_szStoredPath, 0, sizeof m_szStoredPath);
    m_bySavedNiwari = static_cast<BYTE>(m_bNiwariTokurei);
    m_bySavedUriage = static_cast<BYTE>(m_nUriageHoushiki);
    m_bySavedShiire = static_cast<BYTE>(m_nShiireHoushiki);
    OpeningConditions c{};
    c.byNiwari = m_bySavedNiwari;
    c.byUriage = m_bySavedUriage;
    c.byShiire = m_bySavedShiire;
    return c;
}

void CShukeiJokenDlg::TakeRememberedConditions(OpeningConditions* pC)
{
    short nLineStart = 0, nLineEnd = 0;
    BYTE byLineNiwari = 0, byLineUriage = 0, byLineShiire = 0;
    const BOOL bLine = ReadJokenSettings(&nLineStart, &nLineEnd, pC->szPath, &pC->nMode, &byLineNiwari,
                                         &byLineUriage, &byLineShiire);
    GetPeriodMonths(m_lKikanFrom, m_lKikanTo, &pC->nStartMonth, &pC->nEndMonth);
    pC->nEndMonth = static_cast<short>(pC->nEndMonth % 100);
    if (!bLine) {
        pC->nMode = 0;
        return;
    }
    std::memcpy(m_szStoredPath, pC->szPath, sizeof m_szStoredPath);
    if (pC->nMode != 1) {
        // The line's months are shown as they are, also outside 1 to 12:
        // 実行 refuses them as it refuses the same months typed. Only a
        // month whose text the two-character edits cannot show would fail
        // their length check on every data exchange; then the period's
        // months stand for both.
        if (FitsMonthEdit(nLineStart) && FitsMonthEdit(nLineEnd)) {
            pC->nStartMonth = nLineStart;
            pC->nEndMonth = nLineEnd;
        }
        pC->byNiwari = byLineNiwari;
        pC->byUriage = byLineUriage;
        pC->byShiire = byLineShiire;
    }
}

void CShukeiJokenDlg::AdoptOpeningConditions(const OpeningConditions& c)
{
    m_nStartMonth = c.nStartMonth;
    m_nEndMonth = c.nEndMonth;
    m_bNiwariTokurei = c.byNiwari;
    m_nUriageHoushiki = c.byUriage;
    m_nShiireHoushiki = c.byShiire;
}

void CShukeiJokenDlg::WithdrawSavedValuesChoice(int* pMode)
{
    *pMode = 0;
    EnableControl(IDC_RDO_SHUKEIKIKAN, FALSE);
    EnableControl(IDC_RDO_SEIHINVALUE, FALSE);
}

void CShukeiJokenDlg::SetOpeningOutputPath(LPCSTR pszPath)
{
    if (!m_strPresetPath.IsEmpty()) {
        m_strOutputPath = m_strPresetPath;
        EnableControl(IDC_BTN_BROWSE, FALSE);
        EnableControl(IDC_EDT_OUTPUTPATH, FALSE);
        if (CWnd* p = GetDlgItem(IDC_GRP_OUTPUT)) p->SetWindowText("出力先");
        m_bPathFixed = 1;
    } else {
        m_strOutputPath = pszPath;
        m_bPathFixed = 0;
    }
}

void CShukeiJokenDlg::ShowShukeiMode(int nMode)
{
    if (nMode == 1) {
        SetMonthTexts(m_nSavedStartMonth, m_nSavedEndMonth);
        SetChecked(IDC_RDO_SEIHINVALUE, true);
        FocusControl(IDC_RDO_SEIHINVALUE);
        SetChecked(IDC_RDO_SHUKEIKIKAN, false);
        m_nShukeiMode = 1;
        EnableControl(IDC_EDT_STARTMONTH, FALSE);
        EnableControl(IDC_EDT_ENDMONTH, FALSE);
    } else {
        SetMonthTexts(m_nStartMonth, m_nEndMonth);
        SetChecked(IDC_RDO_SHUKEIKIKAN, true);
        if (IsControlEnabled(IDC_RDO_SHUKEIKIKAN)) FocusControl(IDC_RDO_SHUKEIKIKAN);
        SetChecked(IDC_RDO_SEIHINVALUE, false);
        m_nShukeiMode = 0;
    }
}

void CShukeiJokenDlg::SettleShiireHoushiki(BYTE byNiwari)
{
    if (m_nKazeiKubun != 2) {
        m_nShiireHoushiki = 2;
    } else if (byNiwari == 0 && m_nShiireHoushiki == 2) {
        m_nShiireHoushiki = m_nUriageHoushiki == 1 ? 1 : 0;
    }
}

void CShukeiJokenDlg::ShowHoushikiChoices(BYTE byNiwari)
{
    if (m_nUriageHoushiki == 1)
        SetChecked(IDC_RDO_URIAGE_TSUMIAGE, true);
    else
        SetChecked(IDC_RDO_URIAGE_WARIMODOSHI, true);
    if (m_nShiireHoushiki == 1)
        SetChecked(IDC_RDO_SHIIRE_TSUMIAGE, true);
    else if (m_nShiireHoushiki == 0)
        SetChecked(IDC_RDO_SHIIRE_WARIMODOSHI, true);
    if (byNiwari == 1) SetChecked(IDC_CHK_NIWARI, true);

    // Sales 積み上げ with purchase 割り戻し is avoided.
    if (m_nUriageHoushiki == 1 && m_nShiireHoushiki == 0) {
        SetChecked(IDC_RDO_SHIIRE_TSUMIAGE, true);
        SetChecked(IDC_RDO_SHIIRE_WARIMODOSHI, false);
    }
}

void CShukeiJokenDlg::InitToolTip()
{
    if (m_nKazeiKubun == 2) m_ToolTipMgr.Init(m_hWnd, kToolTips, 1);
}

void CShukeiJokenDlg::BuildDefaultPath(char* pszPath)
{
    LPCSTR folder = ClFileMgr::Inst()->GetAppFolderPath(ClFileMgr::FOLDER_OUTPUT);
    constexpr size_t kMaxPath = kPathBufferSize - 1;
    if (folder && std::strlen(folder) <= kMaxPath) std::strcpy(pszPath, folder);
    if (pszPath[0] == '\0') {
        DWORD n = GetTempPathA(kPathBufferSize, pszPath);
        if (n == 0 || n >= kPathBufferSize) pszPath[0] = '\0';
        if (pszPath[0] != '\0' && std::strlen(pszPath) < kMaxPath) AddTrailingBackslash(pszPath, kPathBufferSize);
    }
    // "*.xml" names no file that 実行 accepts: the user types a name or
    // picks one. A folder too long to take it is dropped rather than cut.
    static const char kPattern[] = "*.xml";
    if (std::strlen(pszPath) + (sizeof kPattern - 1) > kMaxPath) pszPath[0] = '\0';
    std::strcat(pszPath, kPattern);
}

void CShukeiJokenDlg::SetMonthTexts(short nStart, short nEnd)
{
    char buf[16];
    m_strStartMonth = _itoa(nStart, buf, 10);
    m_strEndMonth = _itoa(nEnd, buf, 10);
}

void CShukeiJokenDlg::GetDatasetPeriod(long* pFrom, long* pTo)
{
    *pFrom = m_lKikanFrom;
    *pTo = m_lKikanTo;
    ClSetData* pSet = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(ClSetMgr::SETKIND_DATA, 1));
    if (!pSet) return;
    ClAccPeriod* pPeriod = nullptr;
    pSet->GetAccPeriod(&pPeriod);
    if (!pPeriod) return;
    long from = 0, to = 0;
    if (pPeriod->GetPeriod(&from, &to) == 0) {
        *pFrom = from;
        *pTo = to;
    }
    delete pPeriod;
}

void CShukeiJokenDlg::UpdateControlStates()
{
    UpdateData(TRUE);

    long from = 0, to = 0;
    GetDatasetPeriod(&from, &to);

    if (to < kNiwariFirstDay) {
        SetChecked(IDC_CHK_NIWARI, false);
        EnableControl(IDC_CHK_NIWARI, FALSE);
    } else {
        EnableControl(IDC_CHK_NIWARI, TRUE);
    }

    const bool bMode0 = IsChecked(IDC_RDO_SHUKEIKIKAN);
    EnableControl(IDC_GRP_URIAGE, bMode0);
    EnableControl(IDC_RDO_URIAGE_WARIMODOSHI, bMode0);
    EnableControl(IDC_RDO_URIAGE_TSUMIAGE, bMode0);

    if (bMode0 && m_nKazeiKubun == 2 && !IsChecked(IDC_CHK_NIWARI)) {
        EnableControl(IDC_GRP_SHIIRE, TRUE);
        EnableControl(IDC_RDO_SHIIRE_WARIMODOSHI, TRUE);
        EnableControl(IDC_RDO_SHIIRE_TSUMIAGE, TRUE);
    }
    if (m_nKazeiKubun != 2 || IsChecked(IDC_CHK_NIWARI)) {
        EnableControl(IDC_GRP_SHIIRE, FALSE);
        EnableControl(IDC_RDO_SHIIRE_WARIMODOSHI, FALSE);
        EnableControl(IDC_RDO_SHIIRE_TSUMIAGE, FALSE);
    }
    if (!bMode0) {
        EnableControl(IDC_CHK_NIWARI, FALSE);
        EnableControl(IDC_GRP_SHIIRE, FALSE);
        EnableControl(IDC_RDO_SHIIRE_WARIMODOSHI, FALSE);
        EnableControl(IDC_RDO_SHIIRE_TSUMIAGE, FALSE);
    }

    UpdateData(FALSE);
}

void CShukeiJokenDlg::GetPeriodMonths(long lFrom, long lTo, short* pFirst, short* pLast)
{
    ::GetPeriodMonths(lFrom, lTo, pFirst, pLast);
}

int CShukeiJokenDlg::GetMonthDates(short nMonth, long* pFrom, long* pTo)
{
    ClAccPeriod* pPeriod = nullptr;
    if (auto* pSet = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(ClSetMgr::SETKIND_DATA, 1))) {
        pSet->GetAccPeriod(&pPeriod);
    }
    if (!pPeriod) {
        // Without the dataset's own period object, the period the run handed
        // over, with the closing day its end date implies.
        pPeriod = new (std::nothrow) ClAccPeriod();
        if (!pPeriod) return 0;
        long lClosingDay = 0;
        pPeriod->SetPeriod(m_lKikanFrom, m_lKikanTo);
        pPeriod->GetClosingDayByEndDate(m_lKikanTo, 0, &lClosingDay);
        pPeriod->SetClosingDay(lClosingDay);
    }
    pPeriod->GetPeriodByAMonth(nMonth, pFrom, pTo, 0);
    delete pPeriod;
    return 0;
}

// ---------------------------------------------------------------------------
// Mode and coupling handlers

void CShukeiJokenDlg::OnRadioShukeiKikan()
{
    UpdateData(TRUE);
    if (!IsChecked(IDC_RDO_SHUKEIKIKAN)) return;
    m_nShukeiMode = 0;
    SetMonthTexts(m_nStartMonth, m_nEndMonth);
    EnableControl(IDC_EDT_STARTMONTH, TRUE);
    EnableControl(IDC_EDT_ENDMONTH, TRUE);
    // The new month texts go to the edits first, so that the exchange that
    // UpdateControlStates begins with keeps them.
    UpdateData(FALSE);
    UpdateControlStates();
}

void CShukeiJokenDlg::OnRadioSeihinValue()
{
    UpdateData(TRUE);
    if (!IsChecked(IDC_RDO_SEIHINVALUE)) return;
    m_nShukeiMode = 1;
    SetMonthTexts(m_nSavedStartMonth, m_nSavedEndMonth);
    EnableControl(IDC_EDT_STARTMONTH, FALSE);
    EnableControl(IDC_EDT_ENDMONTH, FALSE);

    m_nUriageHoushiki = m_bySavedUriage;
    m_nShiireHoushiki = m_bySavedShiire;
    m_bNiwariTokurei = m_bySavedNiwari;
    if (m_nUriageHoushiki == 0) {
        SetChecked(IDC_RDO_URIAGE_WARIMODOSHI, true);
        SetChecked(IDC_RDO_URIAGE_TSUMIAGE, false);
    } else if (m_nUriageHoushiki == 1) {
        SetChecked(IDC_RDO_URIAGE_WARIMODOSHI, false);
        SetChecked(IDC_RDO_URIAGE_TSUMIAGE, true);
    }
    if (m_bNiwariTokurei != 0) {
        SetChecked(IDC_CHK_NIWARI, true);
        m_nShiireHoushiki = 2;
        SetChecked(IDC_RDO_SHIIRE_TSUMIAGE, false);
        SetChecked(IDC_RDO_SHIIRE_WARIMODOSHI, false);
    } else {
        SetChecked(IDC_CHK_NIWARI, false);
        if (m_nShiireHoushiki == 2) m_nShiireHoushiki = IsChecked(IDC_RDO_URIAGE_TSUMIAGE) ? 1 : 0;
        if (m_nShiireHoushiki == 0) {
            SetChecked(IDC_RDO_SHIIRE_WARIMODOSHI, true);
            SetChecked(IDC_RDO_SHIIRE_TSUMIAGE, false);
        } else if (m_nShiireHoushiki == 1) {
            SetChecked(IDC_RDO_SHIIRE_WARIMODOSHI, false);
            SetChecked(IDC_RDO_SHIIRE_TSUMIAGE, true);
        }
    }
    UpdateData(FALSE);
    UpdateControlStates();
}

void CShukeiJokenDlg::OnUriageTsumiage()
{
    if (IsControlEnabled(IDC_GRP_SHIIRE)) {
        SetChecked(IDC_RDO_SHIIRE_TSUMIAGE, true);
        SetChecked(IDC_RDO_SHIIRE_WARIMODOSHI, false);
    }
}

void CShukeiJokenDlg::OnShiireWarimodoshi()
{
    if (IsControlEnabled(IDC_GRP_URIAGE)) {
        SetChecked(IDC_RDO_URIAGE_TSUMIAGE, false);
        SetChecked(IDC_RDO_URIAGE_WARIMODOSHI, true);
    }
}

void CShukeiJokenDlg::OnNiwariTokurei()
{
    if (IsChecked(IDC_CHK_NIWARI)) {
        m_nShiireHoushiki = 2;
        SetChecked(IDC_RDO_SHIIRE_WARIMODOSHI, false);
        SetChecked(IDC_RDO_SHIIRE_TSUMIAGE, false);
    } else if (!IsChecked(IDC_RDO_SHIIRE_WARIMODOSHI) && !IsChecked(IDC_RDO_SHIIRE_TSUMIAGE)) {
        const bool bTsumiage = IsChecked(IDC_RDO_URIAGE_TSUMIAGE);
        m_nShiireHoushiki = bTsumiage ? 1 : 0;
        SetChecked(IDC_RDO_SHIIRE_TSUMIAGE, bTsumiage);
        SetChecked(IDC_RDO_SHIIRE_WARIMODOSHI, !bTsumiage);
    }
    UpdateControlStates();
}

// ---------------------------------------------------------------------------
// Keyboard

BOOL CShukeiJokenDlg::PreTranslateMessage(MSG* pMsg)
{
    const bool bKeyDown = pMsg->message == WM_KEYDOWN;
    const bool bAnyKeyDown = bKeyDown || pMsg->message == WM_SYSKEYDOWN;
    const bool bShift = IsDown(VK_SHIFT), bCtrl = IsDown(VK_CONTROL), bAlt = IsDown(VK_MENU);
    const bool bNoModifier = !bShift && !bCtrl && !bAlt;
    const int vk = static_cast<int>(pMsg->wParam);

    if (bKeyDown && bNoModifier && vk == VK_RETURN) {
        const int id = pMsg->hwnd ? ::GetDlgCtrlID(pMsg->hwnd) : 0;
        const bool bOurs = pMsg->hwnd && ::GetParent(pMsg->hwnd) == m_hWnd;
        if (bOurs) {
            switch (id) {
            case IDC_EDT_STARTMONTH:
                FocusEditAll(IDC_EDT_ENDMONTH);
                return TRUE;
            case IDC_EDT_ENDMONTH:
                if (IsControlEnabled(IDC_BTN_BROWSE))
                    FocusEditAll(IDC_EDT_OUTPUTPATH);
                else
                    FocusControl(IDC_BTN_EXECUTE);
                return TRUE;
            case IDC_EDT_OUTPUTPATH:
                FocusControl(IsControlEnabled(IDC_BTN_BROWSE) ? IDC_BTN_BROWSE : IDC_BTN_EXECUTE);
                return TRUE;
            case IDC_BTN_BROWSE:
                OnBrowse();
                return TRUE;
            case IDC_BTN_EXECUTE:
                OnExecute();
                return TRUE;
            default:
                break;
            }
        }
    }
    if (bKeyDown && bNoModifier && vk == VK_F12) {
        OnExecute();
        return TRUE;
    }
    // Alt with keypad 1 to 4 sets the method radio buttons directly, without
    // the coupling and whether or not their group is enabled.
    if (bAnyKeyDown && bAlt && vk >= VK_NUMPAD1 && vk <= VK_NUMPAD4) {
        switch (vk) {
        case VK_NUMPAD1:
            FocusControl(IDC_RDO_URIAGE_WARIMODOSHI);
            SetChecked(IDC_RDO_URIAGE_WARIMODOSHI, true);
            SetChecked(IDC_RDO_URIAGE_TSUMIAGE, false);
            break;
        case VK_NUMPAD2:
            FocusControl(IDC_RDO_URIAGE_TSUMIAGE);
            SetChecked(IDC_RDO_URIAGE_WARIMODOSHI, false);
            SetChecked(IDC_RDO_URIAGE_TSUMIAGE, true);
            break;
        case VK_NUMPAD3:
            FocusControl(IDC_RDO_SHIIRE_WARIMODOSHI);
            SetChecked(IDC_RDO_SHIIRE_WARIMODOSHI, true);
            SetChecked(IDC_RDO_SHIIRE_TSUMIAGE, false);
            break;
        default:
            FocusControl(IDC_RDO_SHIIRE_TSUMIAGE);
            SetChecked(IDC_RDO_SHIIRE_WARIMODOSHI, false);
            SetChecked(IDC_RDO_SHIIRE_TSUMIAGE, true);
            break;
        }
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

// ---------------------------------------------------------------------------
// Ending

void CShukeiJokenDlg::OnCancel()
{
    ShowMessage(kMsgCancel, MB_ICONINFORMATION);
    EndDialog(IDC_BTN_CANCEL);
}

void CShukeiJokenDlg::OnOK() {}

void CShukeiJokenDlg::OnButtonCancel()
{
    OnCancel();
}

void CShukeiJokenDlg::OnDestroy()
{
    CWnd::OnDestroy();
}

// ---------------------------------------------------------------------------
// 実行

int CShukeiJokenDlg::CheckMonths(short S, short E) const
{
    short F = 0, L = 0;
    GetPeriodMonths(m_lKikanFrom, m_lKikanTo, &F, &L);
    const bool W = L / 100 != 0;
    const short Lp = W ? static_cast<short>(L % 100) : L;

    if (S < 1 || S > 12) return IDC_EDT_STARTMONTH;
    if (E < 1 || E > 12) return IDC_EDT_ENDMONTH;
    if (!W) {
        if (S < F) return IDC_EDT_STARTMONTH;
        if (E > Lp) return IDC_EDT_STARTMONTH;
        if (F >= 1 && Lp <= 12 && S > E) return IDC_EDT_STARTMONTH;
    } else {
        if (F < S && S <= 12 && F <= E && E < S) return IDC_EDT_ENDMONTH;
        if (1 <= S && S <= Lp && (S > E || E > Lp)) return IDC_EDT_ENDMONTH;
        if (Lp < S && S < F) return IDC_EDT_STARTMONTH;
        if (Lp < E && E < F) return IDC_EDT_STARTMONTH;
    }
    return 0;
}

bool CShukeiJokenDlg::CheckOutputPath()
{
    const char* pszMessage = nullptr;
    if (m_strOutputPath.IsEmpty())
        pszMessage = kMsgNoPath;
    else if (!HasValidPathChars(m_strOutputPath))
        pszMessage = kMsgBadChars;
    else if (!IsValidOutputLocation(m_strOutputPath))
        pszMessage = kMsgBadDrive;
    else if (GetFileNamePart(m_strOutputPath).IsEmpty())
        pszMessage = kMsgNoFileName;
    if (pszMessage) {
        ShowMessage(pszMessage, MB_ICONEXCLAMATION);
        return false;
    }

    const CString strFolder = GetFolderPart(m_strOutputPath);
    if (!strFolder.IsEmpty() && _access(strFolder, 0) != 0) {
        if (ShowMessage(kMsgCreateFolder, MB_ICONQUESTION | MB_YESNO) != IDYES) return false;
        if (!CreateFolderChain(strFolder)) {
            ShowMessage(kMsgCreateFailed, MB_ICONEXCLAMATION);
            return false;
        }
    }
    return true;
}

void CShukeiJokenDlg::OnExecute()
{
    UpdateData(TRUE);

    const short S = static_cast<short>(CrtAtoi(m_strStartMonth));
    const short E = static_cast<short>(CrtAtoi(m_strEndMonth));
    if (const int nEdit = CheckMonths(S, E)) {
        ShowMessage(kMsgMonths, MB_ICONEXCLAMATION);
        FocusEditAll(nEdit);
        return;
    }

    if (IsChecked(IDC_CHK_NIWARI) && IsChecked(IDC_RDO_SHUKEIKIKAN)) {
        long from = 0, to = 0;
        GetMonthDates(E, &from, &to);
        if (to < kNiwariFirstDay) {
            ShowMessage(kMsgNiwariPeriod, MB_ICONEXCLAMATION);
            FocusControl(IDC_BTN_EXECUTE);
            return;
        }
    }

    if (!CheckOutputPath()) {
        FocusEditAll(IDC_EDT_OUTPUTPATH);
        return;
    }

    if (m_bPathFixed != 1) {
        CFileStatus status;
        if (CFile::GetStatus(m_strOutputPath, status)) {
            const bool bRefused = (status.m_attribute & FILE_ATTRIBUTE_DIRECTORY)
                                      ? (ShowMessage(kMsgNoFileName, MB_ICONEXCLAMATION), true)
                                      : ShowMessage(kMsgOverwrite, MB_ICONQUESTION | MB_YESNO) != IDYES;
            if (bRefused) {
                FocusEditAll(IDC_EDT_OUTPUTPATH);
                return;
            }
        }
    }

    m_bNiwariTokurei = IsChecked(IDC_CHK_NIWARI) ? 1 : 0;
    m_nUriageHoushiki = IsChecked(IDC_RDO_URIAGE_TSUMIAGE) ? 1 : 0;
    m_nShiireHoushiki = 2;
    if (IsChecked(IDC_RDO_SHIIRE_TSUMIAGE)) m_nShiireHoushiki = 1;
    if (IsChecked(IDC_RDO_SHIIRE_WARIMODOSHI)) m_nShiireHoushiki = 0;
    if (IsChecked(IDC_RDO_SEIHINVALUE)) {
        m_bNiwariTokurei = m_bySavedNiwari;
        m_nUriageHoushiki = m_bySavedUriage;
        m_nShiireHoushiki = m_bySavedShiire;
    }
    EndDialog(IDC_BTN_EXECUTE);
}

// ---------------------------------------------------------------------------
// 参照

void CShukeiJokenDlg::OnBrowse()
{
    UpdateData(TRUE);

    CString strFolder = GetFolderPart(m_strOutputPath);
    CString strName = GetFileNamePart(m_strOutputPath);
    if (strFolder.IsEmpty()) {
        strFolder = GetDrivePart(m_strOutputPath);
        strName = GetAfterDrivePart(m_strOutputPath);
    }

    CFileDialog dlg(FALSE, "XML", strName,
                    OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                    "Xml Files (*.xml)|*.xml||", this);
    dlg.m_ofn.lpstrInitialDir = strFolder;
    dlg.m_ofn.lpstrTitle = "保存ファイルを指定";
    if (dlg.DoModal() == IDOK) {
        m_strOutputPath = dlg.GetPathName();
        UpdateData(FALSE);
    }
    m_btnExecute.SetFocus();
}

// ---------------------------------------------------------------------------
// Output location and settings file

int CShukeiJokenDlg::IsValidOutputLocation(LPCSTR pszPath)
{
    return ::IsValidOutputLocation(pszPath);
}

int CShukeiJokenDlg::IsUsableDrive(int nLetter, int nMode)
{
    return ::IsUsableDrive(nLetter, nMode);
}

CString CShukeiJokenDlg::SettingsKey() const
{
    char szUser[sizeof m_szUserID + 1] = {};
    char szData[sizeof m_szDataID + 1] = {};
    std::memcpy(szUser, m_szUserID, sizeof m_szUserID);
    std::memcpy(szData, m_szDataID, sizeof m_szDataID);
    return JokenSettingsFile::MakeKey(szUser, szData, g_Edition.bKeyWithSelectedNo, m_lSelectedNo);
}

BOOL CShukeiJokenDlg::ReadJokenSettings(short* pStartMonth, short* pEndMonth, char* pszPath, int* pMode,
                                        BYTE* pNiwari, BYTE* pUriage, BYTE* pShiire)
{
    // The folder text is copied at once: the manager's buffer is shared.
    const CString strFolder = ClFileMgr::Inst()->GetAppFolderPath(ClFileMgr::FOLDER_SETTINGS);
    JokenSettingsFile file(strFolder, g_Edition.pszSettingsFile);
    JokenSettingsFile::Conditions c;
    if (!file.Read(SettingsKey(), c)) return FALSE;
    *pStartMonth = c.nStartMonth;
    *pEndMonth = c.nEndMonth;
    std::memcpy(pszPath, c.szPath, sizeof c.szPath);
    *pMode = c.nMode;
    *pNiwari = c.byNiwari;
    *pUriage = c.byUriage;
    *pShiire = c.byShiire;
    return TRUE;
}

BOOL CShukeiJokenDlg::WriteJokenSettings(short nStartMonth, short nEndMonth, LPCSTR pszPath, int nMode,
                                         int nNiwari, int nUriage, int nShiire)
{
    JokenSettingsFile::Conditions c;
    c.nMode = nMode;
    c.nStartMonth = nStartMonth;
    c.nEndMonth = nEndMonth;
    c.byNiwari = static_cast<BYTE>(nNiwari);
    c.byUriage = static_cast<BYTE>(nUriage);
    c.byShiire = static_cast<BYTE>(nShiire);
    LPCSTR path = pszPath ? pszPath : m_szStoredPath;
    const CString strFolder = ClFileMgr::Inst()->GetAppFolderPath(ClFileMgr::FOLDER_SETTINGS);
    JokenSettingsFile::Failure why = JokenSettingsFile::Failure::NotStorable;
    // A path too long for a line is not stored; the export itself is done.
    if (::strnlen(path, sizeof c.szPath) < sizeof c.szPath) {
        std::strcpy(c.szPath, path);
        JokenSettingsFile file(strFolder, g_Edition.pszSettingsFile);
        // The run's output, which the line must never be written into.
        if (file.Write(SettingsKey(), c, m_strOutputPath, &why)) return TRUE;
    }
    TellNotRemembered(strFolder + g_Edition.pszSettingsFile, why);
    return FALSE;
}

