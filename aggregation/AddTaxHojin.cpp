// The corporation's refund-statement totals: the account list, and the
// three passes over the account summaries, the journal entries and the fixed
// assets of the run's month range.
#include "aggregation/AddTaxDlg.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

#include "aggregation/KamokuPositions.h"
#include "aggregation/KanpuRules.h"
#include "aggregation/ShiwakeJoken.h"
#include "suite/ClAccPeriod.h"
#include "suite/ClDataMgr.h"
#include "suite/ClRuleGenkashokyaku.h"
#include "suite/ClRuleKamoku.h"
#include "suite/ClRuleShiwake.h"
#include "suite/ClSetData.h"
#include "suite/ClSetKamoku.h"
#include "suite/ClSetMgr.h"

namespace {

// Sums one side's month slots of an account summary: the months of the
// range, then the year-end closing from the slot after the end month (slot
// 13 for a twelve-month year) and the half-year closing from slot 14.
ClKingaku SumSlots(const void* pPackedSlots, short nFrom, short nTo, bool bYearEnd, bool bHalfYear)
{
    // The record is byte-packed: its arrays are copied out, never addressed.
    int64_t pSlots[KAMOKUSUM_SLOTS];
    std::memcpy(pSlots, pPackedSlots, sizeof pSlots);
    ClKingaku sum;
    // Only slots that exist are read, whatever the month values say.
    const int from = nFrom < 1 ? 1 : nFrom;
    const int to = nTo > 12 ? 12 : nTo;
    for (int m = from; m <= to; ++m) {
        sum = ClKingaku::Add(sum, ClKingaku::FromRaw(pSlots[m]));
    }
    if (bYearEnd && nTo >= 0 && nTo + 1 < KAMOKUSUM_SLOT_CHUKAN) {
        sum = ClKingaku::Add(sum, ClKingaku::FromRaw(pSlots[nTo + 1]));
    }
    if (bHalfYear) {
        sum = ClKingaku::Add(sum, ClKingaku::FromRaw(pSlots[KAMOKUSUM_SLOT_CHUKAN]));
    }
    return sum;
}

} // namespace

void CAddTaxDlg::BuildKamokuList(short nType)
{
    int nCodes = 0;
    const DWORD* pCodes = KanpuRules::KamokuListCodes(nType, &nCodes);
    ShiwakeJoken joken;
    const StFINDINFO* pFind = joken.BuildZokusei(pCodes, nCodes);

    ClearKamokuList();
    ClSetKamoku* pSetKamoku = static_cast<ClSetKamoku*>(ClDataMgr::Inst()->GetSetObject(ClSetMgr::SETKIND_KAMOKU, 1));
    // An unknown list type selects nothing (a missing condition would select
    // every account).
    if (pSetKamoku != nullptr && pFind != nullptr) {
        SUITECURSOR cursor = nullptr;
        pSetKamoku->GetCursor(&cursor);
        pSetKamoku->ReadyCursor(cursor);
        for (;;) {
            StKAMOKUINFO kamoku;
            std::memset(&kamoku, 0, sizeof kamoku);
            if (pSetKamoku->WalkFind(pFind, &kamoku, cursor) != 0) {
                break;
            }
            StepSubProgress();
            if (kamoku.byExclude == 0) {
                m_kamokuList.push_back(kamoku);
            }
        }
        pSetKamoku->ReleaseCursor(cursor);
    }
    m_posKamoku = m_kamokuList.begin();
    m_ctlSubProgress.SetPos(10);
    m_nSubStep = 10;
}

int CAddTaxDlg::SumKanpuHojin(AccumBlock* pShohinShiire, AccumBlock* pHanbaiIppan, AccumBlock* pEigyogaiHiyou,
                              AccumBlock* pSonotaSoneki, __int64* pKoteiShisan, __int64* pKurinobeShisan,
                              const StDATAINFO* pDataInfo, const StSHOHIZEIINFO* pShohizeiInfo)
{
    if (pDataInfo->byOrgKind != 0 && pDataInfo->byOrgKind != 1) {
        return 1;
    }
    AccumBlock* rows[4] = {pShohinShiire, pHanbaiIppan, pEigyogaiHiyou, pSonotaSoneki};
    const bool bZeikomi = pShohizeiInfo->byZeikomi != 0;
    ClDataMgr* pDataMgr = ClDataMgr::Inst();
    ResetSubProgress();

    // --- the account summaries: the settlement amounts ---------------------------
    if (m_pRuleKamoku == nullptr) {
        ClRuleKamoku* pRule = new (std::nothrow) ClRuleKamoku();
        if (pRule == nullptr) {
            return 0;
        }
        SetUpRule(pRule, pDataInfo);
        m_pRuleKamoku = pRule;
    }
    m_pRuleKamoku->MoveReady(RuleKamokuSumType_Base_Move, RuleKamokuSumType_Bmn_None,
                             RuleKamokuSumType_Disptype_Normal, m_findInfo, nullptr, RuleKamokuSumType_Past_Current);
    int32_t count = 0;
    if (m_pRuleKamoku->GetSumCount(&count) != 0 || m_pRuleKamoku->SetMovePos(0) != 0) {
        return 0;
    }
    const short nStart = KanpuRules::StartMonthKind(m_findInfo);
    const short nEnd = KanpuRules::EndMonthKind(m_findInfo);
    const bool bYearEnd = KanpuRules::IncludesYearEnd(m_findInfo);
    const bool bHalfYear = pDataInfo->nHalfYearClosing == 1 && nEnd == 6;
    long status = 0;
    for (int32_t i = 0; i < count; ++i) {
        StepSubProgress();
        StKAMOKUSUMINFO sum;
        std::memset(&sum, 0, sizeof sum);
        status = m_pRuleKamoku->MoveNext(&sum);
        if (status != 0) {
            break;
        }
        if (sum.byFlag1 == 1 || sum.byFlag3 == 1) {
            continue;
        }
        const ClKingaku kari =
            SumSlots(reinterpret_cast<const char*>(&sum) + (bZeikomi ? offsetof(StKAMOKUSUMINFO, llKariKomi) : offsetof(StKAMOKUSUMINFO, llKariNuki)), nStart, nEnd, bYearEnd, bHalfYear);
        const ClKingaku kashi =
            SumSlots(reinterpret_cast<const char*>(&sum) + (bZeikomi ? offsetof(StKAMOKUSUMINFO, llKashiKomi) : offsetof(StKAMOKUSUMINFO, llKashiNuki)), nStart, nEnd, bYearEnd, bHalfYear);
        const ClKingaku value = ClKingaku::Sub(ClKingaku::Add(ClKingaku(), kari), kashi);
        bool bStore = false;
        const int row = KanpuRules::HojinKamokuRow(sum.ulZokusei, sum.byFlag2, &bStore);
        if (row == KanpuRules::HOJIN_NONE) {
            continue;
        }
        if (bStore) {
            rows[row]->llAmount[0] = value.ToRawOrThrow();
        } else {
            AddToTotal(&rows[row]->llAmount[0], value);
        }
    }
    m_pRuleKamoku->MoveFinish();
    if (status != 0 && status != SUITE_EOD) {
        return 0;
    }

    // --- the journal entries: amounts by tax code ----------------------------------
    KamokuPositions positions;
    const int32_t nEntries = StartKanpuShiwake(KanpuRules::KAMOKULIST_HOJIN, KanpuRules::HojinShiwakeRow,
                                               KanpuRules::HOJIN_NONE, &positions);
    if (nEntries < 0) {
        return 0;
    }
    status = 0;
    // A side goes to its account's row: a debit adds, a credit subtracts.
    auto countSide = [&](const StSWKTSIDE& side, int row, const ClKingaku& value, bool bCredit) {
        if (!bCredit) {
            AddToTotal(&rows[row]->llAmount[1], value);
            if (KanpuRules::IsMiteiYunyuZeiCode(side.byZeiCode)) {
                AddToTotal(&rows[row]->llAmount[2], value);
            }
        } else {
            SubFromTotal(&rows[row]->llAmount[1], value);
            if (KanpuRules::IsMiteiYunyuZeiCode(side.byZeiCode)) {
                SubFromTotal(&rows[row]->llAmount[2], value);
            }
        }
    };
    WalkKanpuShiwake(nEntries, positions, bZeikomi, true, countSide, &status);
    m_pRuleShiwake->MoveFinish();
    if (status != 0 && status != SUITE_EOD) {
        return 0;
    }

    // --- the fixed assets acquired in the range ----------------------------------------
    if (m_pRuleGenkashokyaku == nullptr) {
        ClRuleGenkashokyaku* pRule = new (std::nothrow) ClRuleGenkashokyaku();
        if (pRule == nullptr) {
            return 0;
        }
        SetUpRule(pRule, pDataInfo);
        m_pRuleGenkashokyaku = pRule;
    }
    ClSetData* pSetData = static_cast<ClSetData*>(pDataMgr->GetSetMgr()->GetSetObject(ClSetMgr::SETKIND_DATA, 1));
    ClAccPeriod* pPeriod = nullptr;
    if (pSetData != nullptr) {
        pSetData->GetAccPeriod(&pPeriod);
    }
    // An amount that leaves the totals' range throws out of the walk below;
    // the period object is released on that way out too.
    const std::unique_ptr<ClAccPeriod> periodOwner(pPeriod);
    if (pPeriod == nullptr) {
        return 0;
    }
    long lFrom = 0;
    long lTo = 0;
    long lUnused = 0;
    pPeriod->GetPeriodByMonthKind(nStart, &lFrom, &lUnused, 0);
    if (pDataInfo->lPeriodFrom > lFrom) {
        lFrom = pDataInfo->lPeriodFrom;
    }
    if (pPeriod->GetPeriodByMonthKind(nEnd, &lUnused, &lTo, 0) != 0) {
        lTo = 0;
        if (bYearEnd) {
            pPeriod->GetPeriodByMonthKind(ClAccPeriod::MONTHKIND_YEAREND, &lUnused, &lTo, 0);
        }
    }
    ShiwakeJoken joken;
    const StFINDINFO* pDateFind = joken.BuildShutokuDate(lFrom, lTo);
    m_pRuleGenkashokyaku->MoveReady(pDateFind, 0, 0);
    int32_t nAssets = 0;
    m_pRuleGenkashokyaku->GetCount(&nAssets);
    for (int32_t i = 0; i < nAssets; ++i) {
        StepSubProgress();
        StKOTEISHISANINFO asset;
        MoveAsset(m_pRuleGenkashokyaku, i, &asset);
        const ClKingaku amount = ClKingaku::FromRaw(asset.llShutokuKingaku);
        AddToTotal(asset.lShisanKubun == KOTEI_CLASS_KURINOBE ? pKurinobeShisan : pKoteiShisan, amount);
    }
    m_pRuleGenkashokyaku->MoveFinish();
    return 1;
}
