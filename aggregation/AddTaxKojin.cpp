// The individual's refund-statement totals: the account summaries per
// department, the journal entries and the fixed assets of the run's month
// range, each amount routed by the income kinds, the account's attribute code
// and the department's kind and category (or the asset's income class).
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
#include "suite/ClSetBumon.h"
#include "suite/ClSetData.h"
#include "suite/ClSetMgr.h"

namespace {

const long kErrNoObject = -1001;

long EndStatus(long status)
{
    return status == SUITE_EOD ? 0 : status;
}

// The blocks of one group that the rules choose.
struct KojinBlocks {
    AccumBlock* pJigyoShiire;
    AccumBlock* pJigyoHitsuyou;
    AccumBlock* pFudousanHitsuyou;
    AccumBlock* pSonotaShiire;
    AccumBlock* pSonotaHitsuyou;

    // Up to three blocks, null-terminated.
    void Select(int nGroup, unsigned rules, AccumBlock* (&out)[4]) const
    {
        int n = 0;
        if (nGroup == KanpuRules::KOJIN_SHIIRE) {
            if (rules & KanpuRules::RULE_JIGYO) out[n++] = pJigyoShiire;
            if (rules & KanpuRules::RULE_SONOTA) out[n++] = pSonotaShiire;
        } else if (nGroup == KanpuRules::KOJIN_HITSUYOU) {
            if (rules & KanpuRules::RULE_JIGYO) out[n++] = pJigyoHitsuyou;
            if (rules & KanpuRules::RULE_FUDOUSAN) out[n++] = pFudousanHitsuyou;
            if (rules & KanpuRules::RULE_SONOTA) out[n++] = pSonotaHitsuyou;
        }
        out[n] = nullptr;
    }
};

} // namespace

int CAddTaxDlg::SumKanpuKojin(AccumBlock* pJigyoShiire, AccumBlock* pJigyoHitsuyou, AccumBlock* pJigyoKoteiShisan,
                              AccumBlock* pFudousanHitsuyou, AccumBlock* pFudousanKoteiShisan,
                              AccumBlock* pSonotaShiire, AccumBlock* pSonotaHitsuyou, AccumBlock* pSonotaKoteiShisan,
                              const StDATAINFO* pDataInfo, const StSHOHIZEIINFO* pShohizeiInfo)
{
    if (pDataInfo->byOrgKind != 3 && pDataInfo->byOrgKind != 4) {
        return 1;
    }
    ResetSubProgress();

    ClSetBumon* pSetBumon =
        static_cast<ClSetBumon*>(ClDataMgr::Inst()->GetSetMgr()->GetSetObject(ClSetMgr::SETKIND_BUMON, 1));
    if (pSetBumon == nullptr) {
        return 0;
    }
    int32_t nBumon = 0;
    pSetBumon->GetBmnCount(&nBumon, 0);
    // An account pass that fails leaves the rows incomplete: the totals are
    // given up rather than exported short.
    if (nBumon == 0) {
        if (SumKamokuByBumon(pJigyoShiire, pJigyoHitsuyou, pFudousanHitsuyou, pSonotaShiire, pSonotaHitsuyou,
                             pDataInfo, pShohizeiInfo, nullptr) != 0) {
            return 0;
        }
    } else {
        SUITECURSOR cursor = nullptr;
        if (pSetBumon->GetCursor(&cursor) != 0) {
            return 0;
        }
        if (pSetBumon->ReadyCursor(cursor) != 0) {
            pSetBumon->ReleaseCursor(cursor);
            return 0;
        }
        for (;;) {
            StBUMONINFO bumon;
            std::memset(&bumon, 0, sizeof bumon);
            if (pSetBumon->Walk(&bumon, cursor) != 0) {
                break;
            }
            if (SumKamokuByBumon(pJigyoShiire, pJigyoHitsuyou, pFudousanHitsuyou, pSonotaShiire, pSonotaHitsuyou,
                                 pDataInfo, pShohizeiInfo, &bumon) != 0) {
                pSetBumon->ReleaseCursor(cursor);
                return 0;
            }
        }
        pSetBumon->ReleaseCursor(cursor);
    }

    if (SumShiwakeByBumon(pJigyoShiire, pJigyoHitsuyou, pFudousanHitsuyou, pSonotaShiire, pSonotaHitsuyou, pDataInfo,
                          pShohizeiInfo) != 0) {
        return 0;
    }
    const long status = SumKoteiShisan(pJigyoKoteiShisan, pFudousanKoteiShisan, pSonotaKoteiShisan,
                                       KanpuRules::StartMonthKind(m_findInfo), KanpuRules::EndMonthKind(m_findInfo),
                                       pDataInfo);
    return status == 0 ? 1 : 0;
}

long CAddTaxDlg::SumKamokuByBumon(AccumBlock* pJigyoShiire, AccumBlock* pJigyoHitsuyou,
                                  AccumBlock* pFudousanHitsuyou, AccumBlock* pSonotaShiire,
                                  AccumBlock* pSonotaHitsuyou, const StDATAINFO* pDataInfo,
                                  const StSHOHIZEIINFO* pShohizeiInfo, const StBUMONINFO* pBumon)
{
    ClRuleKamoku* pRule = new (std::nothrow) ClRuleKamoku();
    if (pRule == nullptr) {
        return kErrNoObject;
    }
    // An amount that leaves the totals' range throws out of the walk below;
    // the rule object is released on that way out too.
    const std::unique_ptr<ClRuleKamoku> ruleOwner(pRule);
    SetUpRule(pRule, pDataInfo);

    const bool bGroup = pBumon != nullptr && (pBumon->byKind == 1 || pBumon->byKind == 2);
    const KojinBlocks blocks = {pJigyoShiire, pJigyoHitsuyou, pFudousanHitsuyou, pSonotaShiire, pSonotaHitsuyou};
    const unsigned rules = KanpuRules::KojinRules(pDataInfo->byIncomeKinds, pBumon);

    long status = pRule->MoveReady(RuleKamokuSumType_Base_Move,
                                   bGroup ? RuleKamokuSumType_Bmn_Group : RuleKamokuSumType_Bmn_None,
                                   RuleKamokuSumType_Disptype_Normal, m_findInfo, pBumon,
                                   RuleKamokuSumType_Past_Current);
    if (status == 0) {
        const short nStart = KanpuRules::StartMonthKind(m_findInfo);
        const short nEnd = KanpuRules::EndMonthKind(m_findInfo);
        const int bWithClosing = KanpuRules::IncludesYearEnd(m_findInfo) ? 1 : 0;
        const int bWithHalfYear = (pDataInfo->nHalfYearClosing == 1 && nEnd == 6) ? 1 : 0;
        for (;;) {
            StKAMOKUSUMINFO sum;
            std::memset(&sum, 0, sizeof sum);
            status = pRule->MoveNext(&sum);
            if (status != 0) {
                break;
            }
            const int group = KanpuRules::KojinGroup(sum.ulZokusei);
            if (sum.byFlag1 != 0 || sum.byFlag2 == 1 || sum.byFlag3 == 1 || group == KanpuRules::KOJIN_NONE) {
                continue;
            }
            ClKingaku net;
            NetKamokuMove(net, &sum, nStart, nEnd, pShohizeiInfo, bWithClosing, bWithHalfYear);
            ClKingaku sign;
            sign.SetInt(sum.byTaishakuKubun == 2 ? -1 : 1);
            const ClKingaku contribution = ClKingaku::Mul(net, sign);
            AccumBlock* targets[4];
            blocks.Select(group, rules, targets);
            for (int i = 0; targets[i] != nullptr; ++i) {
                AddToTotal(&targets[i]->llAmount[0], contribution);
            }
        }
    }
    pRule->MoveFinish();
    return EndStatus(status);
}

ClKingaku& CAddTaxDlg::NetKamokuMove(ClKingaku& result, const StKAMOKUSUMINFO* pSum, short nFromMonth,
                                     short nToMonth, const StSHOHIZEIINFO* pShohizeiInfo, int bWithClosing,
                                     int bWithHalfYear)
{
    const bool bZeikomi = pShohizeiInfo->byZeikomi != 0;
    // The record is byte-packed: its arrays are copied out, never addressed.
    const char* pBase = reinterpret_cast<const char*>(pSum);
    int64_t pKari[KAMOKUSUM_SLOTS];
    int64_t pKashi[KAMOKUSUM_SLOTS];
    std::memcpy(pKari, pBase + (bZeikomi ? offsetof(StKAMOKUSUMINFO, llKariKomi) : offsetof(StKAMOKUSUMINFO, llKariNuki)),
                sizeof pKari);
    std::memcpy(pKashi,
                pBase + (bZeikomi ? offsetof(StKAMOKUSUMINFO, llKashiKomi) : offsetof(StKAMOKUSUMINFO, llKashiNuki)),
                sizeof pKashi);
    ClKingaku kari;
    ClKingaku kashi;
    auto addSlot = [&](int m) {
        kari = ClKingaku::Add(kari, ClKingaku::FromRaw(pKari[m]));
        kashi = ClKingaku::Add(kashi, ClKingaku::FromRaw(pKashi[m]));
    };
    // Only slots that exist are read, whatever the month values say.
    if (nToMonth >= nFromMonth) {
        const int from = nFromMonth < 0 ? 0 : nFromMonth;
        const int to = nToMonth > KAMOKUSUM_SLOTS - 1 ? KAMOKUSUM_SLOTS - 1 : nToMonth;
        for (int m = from; m <= to; ++m) {
            addSlot(m);
        }
    }
    if (bWithClosing) {
        addSlot(KAMOKUSUM_SLOT_KESSAN);
    }
    if (bWithHalfYear) {
        addSlot(KAMOKUSUM_SLOT_CHUKAN);
    }
    if (pSum->byTaishakuKubun == 1) {
        result = ClKingaku::Sub(ClKingaku::Add(ClKingaku(), kari), kashi);
    } else {
        result = ClKingaku::Sub(ClKingaku::Add(ClKingaku(), kashi), kari);
    }
    return result;
}

// A side whose department code has no department record (an entry without a
// department in a dataset that has departments, or a department since
// removed) is routed as a department of kind 0 and category 0: other income
// when the individual has several kinds of income. The record is zeroed
// before every look-up, so no side ever takes the previous side's department.
long CAddTaxDlg::SumShiwakeByBumon(AccumBlock* pJigyoShiire, AccumBlock* pJigyoHitsuyou,
                                   AccumBlock* pFudousanHitsuyou, AccumBlock* pSonotaShiire,
                                   AccumBlock* pSonotaHitsuyou, const StDATAINFO* pDataInfo,
                                   const StSHOHIZEIINFO* pShohizeiInfo)
{
    KamokuPositions positions;
    const int32_t nEntries = StartKanpuShiwake(KanpuRules::KAMOKULIST_KOJIN, KanpuRules::KojinGroup,
                                               KanpuRules::KOJIN_NONE, &positions);
    if (nEntries < 0) {
        return 0;
    }

    ClSetBumon* pSetBumon =
        static_cast<ClSetBumon*>(ClDataMgr::Inst()->GetSetMgr()->GetSetObject(ClSetMgr::SETKIND_BUMON, 1));
    SUITECURSOR cursor = nullptr;
    long status = pSetBumon ? pSetBumon->GetCursor(&cursor) : SUITE_ERR_NODATA;
    int32_t nBumon = 0;
    if (pSetBumon) {
        pSetBumon->GetBmnCount(&nBumon, 0);
    }

    const bool bZeikomi = pShohizeiInfo->byZeikomi != 0;
    const KojinBlocks blocks = {pJigyoShiire, pJigyoHitsuyou, pFudousanHitsuyou, pSonotaShiire, pSonotaHitsuyou};
    // One side: the rules of its department, then its blocks.
    auto countSide = [&](const StSWKTSIDE& side, int group, const ClKingaku& value, bool bCredit) {
        const StBUMONINFO* pBumon = nullptr;
        StBUMONINFO bumon;
        if (nBumon > 0 && pSetBumon != nullptr) {
            std::memset(&bumon, 0, sizeof bumon);
            pSetBumon->ReadyCursor(cursor);
            if (pSetBumon->GetInfoByCode(side.lBumonCode, &bumon) != 0) {
                std::memset(&bumon, 0, sizeof bumon);
            }
            pBumon = &bumon;
        }
        AccumBlock* targets[4];
        blocks.Select(group, KanpuRules::KojinRules(pDataInfo->byIncomeKinds, pBumon), targets);
        const bool bMitei = KanpuRules::IsMiteiYunyuZeiCode(side.byZeiCode);
        for (int i = 0; targets[i] != nullptr; ++i) {
            if (bCredit) {
                SubFromTotal(&targets[i]->llAmount[1], value);
                if (bMitei) {
                    SubFromTotal(&targets[i]->llAmount[2], value);
                }
            } else {
                AddToTotal(&targets[i]->llAmount[1], value);
                if (bMitei) {
                    AddToTotal(&targets[i]->llAmount[2], value);
                }
            }
        }
    };

    WalkKanpuShiwake(nEntries, positions, bZeikomi, false, countSide, &status);

    status = EndStatus(status);
    if (status == 0) {
        m_pRuleShiwake->MoveFinish();
    }
    if (pSetBumon != nullptr) {
        pSetBumon->ReleaseCursor(cursor);
    }
    return status;
}

long CAddTaxDlg::SumKoteiShisan(AccumBlock* pJigyoKoteiShisan, AccumBlock* pFudousanKoteiShisan,
                                AccumBlock* /*pSonotaKoteiShisan*/, short nFromMonth, short nToMonth,
                                const StDATAINFO* pDataInfo)
{
    ClSetData* pSetData =
        static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetMgr()->GetSetObject(ClSetMgr::SETKIND_DATA, 1));
    ClAccPeriod* pPeriod = nullptr;
    if (pSetData != nullptr) {
        pSetData->GetAccPeriod(&pPeriod);
    }
    // An amount that leaves the totals' range throws out of the walk below;
    // the period and the rule object are released on that way out too.
    const std::unique_ptr<ClAccPeriod> periodOwner(pPeriod);
    long lFrom = 0;
    long lTo = 0;
    long lUnused = 0;
    if (pPeriod != nullptr) {
        pPeriod->GetPeriodByMonthKind(nFromMonth, &lFrom, &lUnused, 0);
        pPeriod->GetPeriodByMonthKind(nToMonth, &lUnused, &lTo, 0);
    }

    ClRuleGenkashokyaku* pRule = new (std::nothrow) ClRuleGenkashokyaku();
    if (pRule == nullptr) {
        return kErrNoObject;
    }
    const std::unique_ptr<ClRuleGenkashokyaku> ruleOwner(pRule);
    SetUpRule(pRule, pDataInfo);

    ShiwakeJoken joken;
    long status = pRule->MoveReady(joken.BuildShutokuDate(lFrom, lTo), 0, 0);
    int32_t nAssets = 0;
    if (status == 0) {
        pRule->GetCount(&nAssets);
    }
    const BYTE kinds = pDataInfo->byIncomeKinds;
    const bool bSeveral = kinds >= 3 && kinds <= 6;
    for (int32_t i = 0; i < nAssets; ++i) {
        StepSubProgress();
        StKOTEISHISANINFO asset;
        status = MoveAsset(pRule, i, &asset);
        if (status != 0) {
            break;
        }
        const int16_t c = asset.nShotokuKubun;
        const ClKingaku amount = ClKingaku::FromRaw(asset.llShutokuKingaku);
        if (kinds == 1 || (bSeveral && (c == 1 || c == 3))) {
            AddToTotal(&pJigyoKoteiShisan->llAmount[0], amount);
        }
        if (kinds == 2 || (bSeveral && c == 2)) {
            AddToTotal(&pFudousanKoteiShisan->llAmount[0], amount);
        }
    }
    pRule->MoveFinish();
    return EndStatus(status);
}
