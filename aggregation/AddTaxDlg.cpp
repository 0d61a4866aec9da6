// The progress dialog: construction, ownership of the rule objects, the two
// bars and the account list's lifetime. The aggregation steps are in
// AddTax.cpp (summation and checks), AddTaxHojin.cpp and AddTaxKojin.cpp.
#include "aggregation/AddTaxDlg.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "mfc/CDataExchange.h"
#include "aggregation/KamokuPositions.h"
#include "aggregation/KanpuRules.h"
#include "aggregation/ShiwakeJoken.h"
#include "res/AddTaxResource.h"
#include "suite/ClDataMgr.h"
#include "suite/ClLinkMgr.h"
#include "suite/ClRuleGenkashokyaku.h"
#include "suite/ClRuleKamoku.h"
#include "suite/ClRuleShiwake.h"
#include "suite/ClRuleShohizeiShinkoku.h"
#include "suite/ClSetData.h"
#include "suite/ClSetMgr.h"

BEGIN_MESSAGE_MAP(CAddTaxDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CAddTaxDlg::CAddTaxDlg(CWnd* pParent) : CDialog(IDD, pParent)
{
    RegisterAddTaxDialogTemplate();
    std::memset(m_findInfo, 0, sizeof m_findInfo);
    m_posKamoku = m_kamokuList.end();
}

CAddTaxDlg::~CAddTaxDlg()
{
    // The window goes first, while this object can still answer its
    // WM_DESTROY.
    if (m_hWnd) {
        DestroyWindow();
    }
    ClearKamokuList();
    delete m_pRuleGenkashokyaku;
    m_pRuleGenkashokyaku = nullptr;
    delete m_pRuleKamoku;
    m_pRuleKamoku = nullptr;
    delete m_pRuleShiwake;
    m_pRuleShiwake = nullptr;
    delete m_pRuleShohizeiShinkoku;
    m_pRuleShohizeiShinkoku = nullptr;
}

void CAddTaxDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PRG_SUB, m_ctlSubProgress);
    DDX_Control(pDX, IDC_PRG_MAIN, m_ctlMainProgress);
}

BOOL CAddTaxDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    return TRUE;
}

BOOL CAddTaxDlg::PreTranslateMessage(MSG* pMsg)
{
    return CDialog::PreTranslateMessage(pMsg);
}

int CAddTaxDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDialog::OnCreate(lpCreateStruct) == -1) {
        return -1;
    }
    return 0;
}

void CAddTaxDlg::OnDestroy()
{
    CDialog::OnDestroy();
    ClearKamokuList();
}

void CAddTaxDlg::ClearKamokuList()
{
    m_kamokuList.clear();
    m_posKamoku = m_kamokuList.end();
}

void CAddTaxDlg::InitProgress()
{
    m_ctlMainProgress.SetRange(0, 1000);
    m_ctlMainProgress.SetStep(1);
    m_ctlMainProgress.SetPos(0);
}

void CAddTaxDlg::AdvanceProgress(short nFrom, short nTo)
{
    for (int i = nFrom; i <= nTo; ++i) {
        if (i % 10 == 0) {
            char szCaption[64] = {};
            std::snprintf(szCaption, sizeof szCaption, "集計中 %d％", i / 10);
            SetWindowText(szCaption);
        }
        m_ctlMainProgress.OffsetPos(1);
        CycleSubProgress();
        UpdateWindow();
    }
}

void CAddTaxDlg::CycleSubProgress()
{
    m_ctlSubProgress.SetRange(0, 10);
    m_ctlSubProgress.SetStep(1);
    m_ctlSubProgress.SetPos(0);
    // Eleven steps: the last one leaves the bar at its end.
    for (int i = 0; i < 11; ++i) {
        m_ctlSubProgress.OffsetPos(1);
        BringWindowToTop();
        SetForegroundWindow();
        UpdateWindow();
    }
}

void CAddTaxDlg::StepSubProgress()
{
    m_nSubStep = (m_nSubStep == 10) ? 0 : m_nSubStep + 1;
    if (m_nSubStep == 0) {
        m_ctlSubProgress.SetPos(0);
    }
    m_ctlSubProgress.OffsetPos(1);
    if (m_nSubStep == 0) {
        BringWindowToTop();
        SetForegroundWindow();
    }
    UpdateWindow();
}

void CAddTaxDlg::ResetSubProgress()
{
    m_ctlSubProgress.SetRange(0, 10);
    m_ctlSubProgress.SetStep(1);
    m_ctlSubProgress.SetPos(0);
    m_nSubStep = 0;
}

void CAddTaxDlg::EndProgress()
{
    EndDialog(IDOK);
}

ClRuleShiwake* CAddTaxDlg::NewRuleShiwake()
{
    ClRuleShiwake* pRule = new (std::nothrow) ClRuleShiwake();
    if (pRule == nullptr) {
        return nullptr;
    }
    ClSetData* pSetData = static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(ClSetMgr::SETKIND_DATA, 1));
    SetUpRule(pRule, pSetData ? pSetData->GetSelectedInfo() : nullptr);
    return pRule;
}

void CAddTaxDlg::SetUpRule(ClRuleBase* pRule, LPCDATAID pDataId)
{
    pRule->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
    pRule->SetCurDataID(pDataId);
    pRule->AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
}

ClKingaku CAddTaxDlg::SideValue(const StSWKTSIDE& side, bool bZeikomi)
{
    ClKingaku value = ClKingaku::FromRaw(side.llKingaku);
    if (bZeikomi) {
        value = ClKingaku::Add(value, ClKingaku::FromRaw(side.llZeigaku));
    }
    return value;
}

int32_t CAddTaxDlg::StartKanpuShiwake(short nListType, int (*classify)(DWORD), int none,
                                      KamokuPositions* pPositions)
{
    if (m_pRuleShiwake == nullptr) {
        m_pRuleShiwake = NewRuleShiwake();
        if (m_pRuleShiwake == nullptr) {
            return -1;
        }
    }
    BuildKamokuList(nListType);
    pPositions->Build(m_kamokuList, classify, none);
    ShiwakeJoken joken;
    const StFINDINFO* pFind = joken.BuildKanpu(m_findInfo);
    int32_t nEntries = 0;
    m_pRuleShiwake->GetSwkCount(pFind, nullptr, &nEntries);
    m_pRuleShiwake->MoveReady(pFind, nullptr, nullptr, SWKCURSOR_FORWARD);
    return nEntries;
}

long CAddTaxDlg::MoveAsset(ClRuleGenkashokyaku* pRule, int32_t nIndex, StKOTEISHISANINFO* pAsset)
{
    StKOTEINENINFO year;
    StKOTEITSUKIINFO month;
    std::memset(pAsset, 0, sizeof *pAsset);
    std::memset(&year, 0, sizeof year);
    std::memset(&month, 0, sizeof month);
    return pRule->Move(nIndex, pAsset, &year, &month);
}

void CAddTaxDlg::WalkKanpuShiwake(int32_t nEntries, const KamokuPositions& positions, bool bZeikomi, bool bTick,
                                  const KanpuSideFn& count, long* pStatus)
{
    for (int32_t i = 0; i < nEntries; ++i) {
        if (bTick) {
            StepSubProgress();
        }
        StSWKTINFO entry;
        std::memset(&entry, 0, sizeof entry);
        *pStatus = m_pRuleShiwake->MoveNext(&entry);
        if (*pStatus != 0) {
            break;
        }
        const ClKingaku kariValue = SideValue(entry.kari, bZeikomi);
        const ClKingaku kashiValue = SideValue(entry.kashi, bZeikomi);
        // The list's records of the two sides' accounts, in list order.
        positions.ForSides(entry.kari.lKamokuCode, entry.kashi.lKamokuCode, [&](size_t, int cls, bool bCredit) {
            if (!bCredit) {
                if (KanpuRules::IsKanpuZeiCode(entry.kari.byZeiCode)) {
                    count(entry.kari, cls, kariValue, false);
                }
            } else if (KanpuRules::IsKanpuZeiCode(entry.kashi.byZeiCode)) {
                count(entry.kashi, cls, kashiValue, true);
            }
        });
    }
    m_posKamoku = m_kamokuList.begin();
}

void CAddTaxDlg::AddToTotal(__int64* pTotal, const ClKingaku& amount)
{
    __int64 sum = 0;
    if (__builtin_add_overflow(*pTotal, amount.ToRawOrThrow(), &sum)) {
        throw -1;
    }
    *pTotal = ClKingaku::AddRaw(*pTotal, amount).ToRaw();
}

void CAddTaxDlg::SubFromTotal(__int64* pTotal, const ClKingaku& amount)
{
    __int64 difference = 0;
    if (__builtin_sub_overflow(*pTotal, amount.ToRawOrThrow(), &difference)) {
        throw -1;
    }
    *pTotal = ClKingaku::SubRaw(*pTotal, amount).ToRaw();
}
