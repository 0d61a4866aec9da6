// The consumption-tax summation and the journal-entry checks of the
// aggregation: the per-rate and per-business-kind records that the DATA
// section writes, and the three checks the run makes before anything is
// summed (business kind 6, undetermined import tax codes, old rates).
#include "aggregation/AddTaxDlg.h"

#include <cstring>
#include <memory>
#include <new>

#include "aggregation/ShiwakeJoken.h"
#include "suite/ClDataMgr.h"
#include "suite/ClMsgMgr.h"
#include "suite/ClRuleShiwake.h"
#include "suite/ClRuleShohizeiShinkoku.h"
#include "suite/ClSetData.h"
#include "suite/ClSetMgr.h"
#include "suite/ClSetShohizei.h"
#include "suite/RuleStatus.h"

namespace {

// The name under which this module registers its library errors.
const char kSourceName[] = "AddTax";

// The code registered when a library object cannot be made.
const long kErrNoObject = -1001;

// The rate records: three groups (all entries; purchases without a qualified
// invoice at the 80 % and at the 50 % transitional deduction) of one record
// per rate, in the order 10 %, reduced 8 %, 8 %, 5 %, 3 %.
const int kRateCount = 5;
const int kRateGroups = 3;
const int32_t kRates[kRateCount] = {1000, 800, 800, 500, 300};
const uint8_t kKeigen[kRateCount] = {0, 1, 0, 0, 0};
const int kJigyoKubunCount = 6;

// Non-taxable sales of securities count at 5 % of their amount in the
// library's records; the return wants the whole amount.
const int kYukaFactor = 20;

// Deletes a journal-entry rule object through its virtual destructor.
struct RuleShiwakeDeleter {
    void operator()(ClRuleShiwake* p) const { delete p; }
};
using RuleShiwakePtr = std::unique_ptr<ClRuleShiwake, RuleShiwakeDeleter>;

} // namespace

// A dataset whose settings report a rate count other than five does not fit
// the fixed layout of the records (three groups of five at the positions 0,
// 5 and 10, six kinds per rate) that the run's buffers are sized for from
// that count: the summation refuses it and leaves the buffers untouched. The
// run refuses such a dataset before it gets here.
int CAddTaxDlg::SumTaxShinkoku(StTAXREPORTRATEINFO* pRateInfo, StTAXREPORTBUSINESSTYPEINFO* pBusinessTypeInfo,
                               int32_t lSubstTaxRate)
{
    ClDataMgr* pDataMgr = ClDataMgr::Inst();
    ClSetShohizei* pSetShohizei = static_cast<ClSetShohizei*>(pDataMgr->GetSetObject(ClSetMgr::SETKIND_SHOHIZEI, 1));
    if (pSetShohizei == nullptr) {
        return 0;
    }
    StSHOHIZEIINFO shohizeiInfo;
    std::memset(&shohizeiInfo, 0, sizeof shohizeiInfo);
    if (pSetShohizei->Get(&shohizeiInfo) != 0) {
        return 0;
    }
    const short n = static_cast<short>(pSetShohizei->GetTaxRateCount());
    if (n != kRateCount) {
        return 0;
    }

    for (int group = 0; group < kRateGroups; ++group) {
        for (int i = 0; i < kRateCount; ++i) {
            StTAXREPORTRATEINFO& rate = pRateInfo[group * kRateCount + i];
            rate.lZeiRate = kRates[i];
            rate.byKeigen = kKeigen[i];
        }
    }
    for (int i = 0; i < n; ++i) {
        CycleSubProgress();
        for (int kind = 0; kind < kJigyoKubunCount; ++kind) {
            StTAXREPORTBUSINESSTYPEINFO& record = pBusinessTypeInfo[i * kJigyoKubunCount + kind];
            record.lZeiRate = pRateInfo[i].lZeiRate;
            record.byKeigen = pRateInfo[i].byKeigen;
            record.byJigyoKubun = static_cast<uint8_t>(kind + 1);
        }
    }

    if (m_pRuleShohizeiShinkoku == nullptr) {
        ClRuleShohizeiShinkoku* pRule = new (std::nothrow) ClRuleShohizeiShinkoku();
        if (pRule == nullptr) {
            return 0;
        }
        ClSetData* pSetData = static_cast<ClSetData*>(pDataMgr->GetSetObject(ClSetMgr::SETKIND_DATA, 1));
        SetUpRule(pRule, pSetData ? pSetData->GetSelectedInfo() : nullptr);
        m_pRuleShohizeiShinkoku = pRule;
    }
    m_pRuleShohizeiShinkoku->SetSubstTaxRate(lSubstTaxRate);
    const long status = m_pRuleShohizeiShinkoku->SumTax(m_nKazeiKubun, m_findInfo, pRateInfo, pBusinessTypeInfo, 0,
                                                        shohizeiInfo.bySumOption, shohizeiInfo.lSumValue);
    // A sum beyond the range of a raw amount is refused as the amount type
    // refuses one; any other failure leaves the records incomplete.
    if (status == RULE_ERR_OVERFLOW) {
        throw -1;
    }
    if (status != 0 && status != SUITE_EOD) {
        return 0;
    }

    ScaleYukaUriage(pRateInfo, n);
    return 1;
}

// A product beyond the raw range would wrap in the conversion back, so it is
// refused there (ClKingaku's -1) before any record is changed.
void CAddTaxDlg::ScaleYukaUriage(StTAXREPORTRATEINFO* pRateInfo, int nCount)
{
    for (int i = 0; i < nCount; ++i) {
        ClKingaku::MulInt(ClKingaku::FromRaw(pRateInfo[i].llHikazeiUriageYuka), kYukaFactor).ToRawOrThrow();
    }
    for (int i = 0; i < nCount; ++i) {
        const ClKingaku yuka = ClKingaku::FromRaw(pRateInfo[i].llHikazeiUriageYuka);
        pRateInfo[i].llHikazeiUriageYuka = ClKingaku::MulInt(yuka, kYukaFactor).ToRawOrThrow();
    }
}

int CAddTaxDlg::HasMiteiYunyuShiwake()
{
    ShiwakeJoken joken;
    const StFINDINFO* pFind = joken.BuildMiteiYunyu(m_findInfo);
    RuleShiwakePtr pRule(NewRuleShiwake());
    if (!pRule) {
        return 0;
    }
    int32_t count = 0;
    const long status = pRule->GetSwkCount(pFind, nullptr, &count);
    return (status == 0 && count != 0) ? 1 : 0;
}

long CAddTaxDlg::CheckZeiRateShiwake(int32_t* pFound, int nMode)
{
    RuleShiwakePtr pRule(NewRuleShiwake());
    if (!pRule) {
        return ClMsgMgr::Inst()->SetLastError(kErrNoObject, kSourceName, 4001);
    }
    DWORD bits = 0;
    const long status = pRule->CheckExistSwkByZeiRate(m_findInfo, &bits, SWKSIDE_BOTH);
    *pFound = 0;
    if (nMode == 0) {
        if (bits & (SWKRATE_3 | SWKRATE_5 | SWKRATE_8)) {
            *pFound = 1;
        }
    } else if (bits & (SWKRATE_8_KEIGEN | SWKRATE_10)) {
        *pFound = 1;
    }
    pRule.reset();
    if (status == 0) {
        return ClMsgMgr::Inst()->SetLastError(0, nullptr, 0);
    }
    return ClMsgMgr::Inst()->SetLastError(status, kSourceName, 4039);
}

long CAddTaxDlg::CheckJigyoBunruiShiwake(int32_t nKind, int32_t* pCount)
{
    RuleShiwakePtr pRule(NewRuleShiwake());
    if (!pRule) {
        return ClMsgMgr::Inst()->SetLastError(kErrNoObject, kSourceName, 4058);
    }
    const long status = pRule->CheckExistSwkByJigyoBunrui(m_findInfo, nKind, pCount);
    pRule.reset();
    if (status == 0) {
        return ClMsgMgr::Inst()->SetLastError(0, nullptr, 0);
    }
    return ClMsgMgr::Inst()->SetLastError(status, kSourceName, 4068);
}
