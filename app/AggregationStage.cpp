// The aggregation stage of the export run: the journal-entry checks with
// their refusal, notice and question, then the summation and the refund-
// statement totals behind the progress dialog. The run has created the
// dialog (hidden) before; every message here is owned by its window.
#include "app/ShohizeiLinkApp.h"

#include <cstdio>
#include <cstring>

#include "aggregation/AddTaxDlg.h"
#include "res/Edition.h"
#include "suite/ClDataMgr.h"
#include "suite/ClMsgMgr.h"
#include "suite/ClSetMgr.h"
#include "suite/ClSetShohizei.h"

namespace {

const char kCaption[] = "消費税";

const char kMsgJigyoBunrui6[] =
    "集計範囲に事業分類「第六種事業」の仕訳が存在します。\n"
    "「第六種事業」は、平成27年4月1日以降に開始する課税期間に適用される事業分類のため、処理できません。\n\n"
    "%s の以下の機能にて事業分類を見直してください。\n\n"
    "・各種帳簿機能(簡易振替伝票入力等)\n"
    "※入力済みの伝票は、各帳簿画面の置換機能にて一括で変換することができます。";
const char kMsgMiteiYunyu[] =
    "集計範囲の中に、輸入取引の本体分、国税分、地方税分が未確定の税区分(31,32,33,35,36,37)を使用している仕訳が"
    "あります。\nこの仕訳の金額は、消費税申告書には集計されません。";
const char kMsgOldRate[] =
    "指定された集計期間内に旧税率(3%・5%・8%)のいずれかが指定された仕訳が存在しています。\n"
    "旧税率を伴う「2割特例」の集計に対応していないため、「2割特例」を適用せずに集計を続行します。\n\n"
    "よろしいですか？";
// The per-rate records come in three groups of the five rates 10 %, reduced
// 8 %, 8 %, 5 % and 3 %; settings with another number of rates cannot be
// summed into them.
const char kMsgRateCount[] =
    "消費税設定の税率の数が集計に対応していないため、消費税情報の出力を中止しました。\n\n"
    "会計システムで消費税の設定を確認してください。";

const char kMsgSumFailed[] = "消費税の集計中にエラーが発生したため、消費税情報の出力を中止しました。";

// 第六種事業 applies to taxable periods from 1 April 2015 on.
const long kJigyoBunrui6From = 20150401;
const int kRateCount = 5;

} // namespace

int CShohizeiLinkApp::RunAggregation(const StDATAINFO* pDataInfo, StSHOHIZEIINFO* pShohizeiInfo,
                                     ShukeiConditions* pConditions)
{
    CAddTaxDlg* pDlg = m_pAddTaxDlg;
    ClSetShohizei* pSetShohizei =
        static_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(ClSetMgr::SETKIND_SHOHIZEI, 1));
    if (pDlg == nullptr || pSetShohizei == nullptr) {
        m_nResultCode = RESULT_ERROR;
        return 0;
    }
    const HWND hOwner = pDlg->GetSafeHwnd();

    // The buffers are sized from the settings' rate count; the records'
    // layout holds for five rates only, so another count is refused before
    // anything is allocated or read.
    const short nRates = static_cast<short>(pSetShohizei->GetTaxRateCount());
    if (nRates != kRateCount) {
        MessageBoxA(hOwner, kMsgRateCount, kCaption, MB_OK | MB_ICONEXCLAMATION);
        m_nResultCode = RESULT_ERROR;
        return 0;
    }
    m_pRateInfo = new StTAXREPORTRATEINFO[3 * nRates]();
    m_pBusinessTypeInfo = new StTAXREPORTBUSINESSTYPEINFO[6 * nRates]();

    pDlg->m_nKazeiKubun = m_nKazeiKubun;
    std::memset(pDlg->m_findInfo, 0, sizeof pDlg->m_findInfo);
    BuildShukeiJoken(pDlg->m_findInfo, pDataInfo, pConditions->nStartMonth, pConditions->nEndMonth);
    GetShohizeiInfo(pShohizeiInfo, pDataInfo);

    int32_t nJigyo6 = 0;
    const long status = pDlg->CheckJigyoBunruiShiwake(6, &nJigyo6);
    if (ClMsgMgr::Inst()->CheckFatalErrorWithMsg(status, -1, 1, nullptr) != 0) {
        m_nResultCode = RESULT_ERROR;
        return 0;
    }
    const long lStartDate = GetMonthStartDate(pConditions->nStartMonth);
    if (nJigyo6 > 0 && pShohizeiInfo->byKazeiKubun == 1 && lStartDate < kJigyoBunrui6From) {
        char szText[1024] = {};
        std::snprintf(szText, sizeof szText, kMsgJigyoBunrui6, g_Edition.pszProductName);
        MessageBoxA(hOwner, szText, kCaption, MB_OK | MB_ICONEXCLAMATION);
        m_nResultCode = RESULT_CANCELLED;
        return 0;
    }
    if (pShohizeiInfo->byKazeiKubun >= 2 && pDlg->HasMiteiYunyuShiwake() == 1) {
        MessageBoxA(hOwner, kMsgMiteiYunyu, kCaption, MB_OK | MB_ICONINFORMATION);
    }
    if (pConditions->bNiwariTokurei == 1) {
        int32_t found = 0;
        pDlg->CheckZeiRateShiwake(&found, 0);
        if (found != 0) {
            if (MessageBoxA(hOwner, kMsgOldRate, kCaption, MB_OKCANCEL | MB_ICONINFORMATION) != IDOK) {
                m_nResultCode = RESULT_CANCELLED;
                return 0;
            }
            pConditions->bNiwariTokurei = 0;
        }
    }

    pDlg->ShowWindow(SW_SHOW);
    BeginRunWaitCursor();
    // A pass that fails leaves figures that would be exported as if they
    // were whole; the run ends instead, and the caller learns of it.
    bool bSummed = false;
    try {
        pDlg->InitProgress();
        pDlg->AdvanceProgress(0, 250);
        const int nRate = FilingModuleRate(pConditions->nStartMonth, pConditions->nEndMonth);
        if (pDlg->SumTaxShinkoku(m_pRateInfo, m_pBusinessTypeInfo, nRate)) {
            pDlg->AdvanceProgress(250, 750);
            bSummed = pDlg->SumKanpuHojin(&m_abShohinShiire, &m_abHanbaiIppan, &m_abEigyogaiHiyou,
                                          &m_abSonotaSoneki, &m_llKoteiShisan, &m_llKurinobeShisan, pDataInfo,
                                          pShohizeiInfo) &&
                      pDlg->SumKanpuKojin(&m_abJigyoShiire, &m_abJigyoHitsuyou, &m_abJigyoKoteiShisan,
                                          &m_abFudousanHitsuyou, &m_abFudousanKoteiShisan, &m_abSonotaShiire,
                                          &m_abSonotaHitsuyou, &m_abSonotaKoteiShisan, pDataInfo, pShohizeiInfo);
        }
        if (bSummed) {
            pDlg->AdvanceProgress(750, 1000);
        }
    } catch (int) {
        // An amount left the range that the totals can hold: the figures
        // would be wrong, so nothing is written. The caller learns of it
        // through the result code.
        pDlg->EndProgress();
        EndRunWaitCursor();
        FailRun(kMsgOverflow);
        return 0;
    }
    if (!bSummed) {
        pDlg->EndProgress();
        EndRunWaitCursor();
        FailRun(kMsgSumFailed);
        return 0;
    }
    pDlg->EndProgress();
    RestoreWaitCursor();
    return 1;
}
