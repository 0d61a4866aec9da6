#include "suite/ClRuleKamoku.h"

#include <cstring>
#include <memory>
#include <string>

#include "suite/ClAccPeriod.h"
#include "suite/KamokuMoveSums.h"
#include "suite/RuleQuery.h"
#include "suite/RuleStatus.h"
#include "suite/SuiteStore.h"

namespace {

// The number of 月度 of the dataset's fiscal period (1 to 12).
long MonthCountOf(suite::SuiteStore* store, long long dataNo, int* pCount)
{
    long status;
    suite::Statement stmt = RuleQuery::Prepare(
        store, "SELECT period_from, period_to, closing_day FROM datasets WHERE data_no = ?", {dataNo}, &status);
    if (status != SUITE_OK)
        return status;
    status = stmt.Step();
    if (status == SUITE_EOD)
        return SUITE_ERR_NODATA;
    if (status != SUITE_OK)
        return status;
    ClAccPeriod period;
    status = period.SetPeriod(static_cast<long>(stmt.Int(0)), static_cast<long>(stmt.Int(1)));
    if (status == SUITE_OK)
        status = period.SetClosingDay(static_cast<long>(stmt.Int(2)));
    if (status != SUITE_OK)
        return status;
    const long count = period.GetMonthCount();
    if (count < 1)
        return count < 0 ? -count : SUITE_ERR_PARAM;
    *pCount = static_cast<int>(count);
    return SUITE_OK;
}

bool AddTo(int64_t& total, int64_t value)
{
    return !__builtin_add_overflow(total, value, &total);
}

} // namespace

ClRuleKamoku::ClRuleKamoku() = default;

ClRuleKamoku::~ClRuleKamoku() = default;

long ClRuleKamoku::MoveReady(_RuleKamokuSumType_Base nBase, _RuleKamokuSumType_Bmn nBmn,
                             _RuleKamokuSumType_Disptype nDisp, const StFINDINFO* pFind, const StBUMONINFO* pBumon,
                             _RuleKamokuSumType_Past nPast)
{
    MoveFinish();
    if (nBase != RuleKamokuSumType_Base_Move || nDisp != RuleKamokuSumType_Disptype_Normal ||
        nPast != RuleKamokuSumType_Past_Current)
        return SUITE_ERR_PARAM;
    if (nBmn != RuleKamokuSumType_Bmn_None && nBmn != RuleKamokuSumType_Bmn_Group)
        return SUITE_ERR_PARAM;
    if (nBmn == RuleKamokuSumType_Bmn_Group && !pBumon)
        return SUITE_ERR_PARAM;
    suite::SuiteStore* store;
    long long dataNo;
    long status = QueryScope(&store, &dataNo);
    if (status != SUITE_OK)
        return status;

    // The accounts, in code order.
    std::vector<StKAMOKUSUMINFO> sums;
    {
        suite::Statement stmt = RuleQuery::Prepare(
            store,
            "SELECT code, name, attr, sum_flag1, sum_flag2, sum_flag3, balance_side FROM accounts "
            "WHERE data_no = ? ORDER BY code",
            {dataNo}, &status);
        if (status != SUITE_OK)
            return status;
        while ((status = stmt.Step()) == SUITE_OK) {
            StKAMOKUSUMINFO s;
            std::memset(&s, 0, sizeof s);
            s.lKamokuCode = static_cast<int32_t>(stmt.Int(0));
            RuleQuery::CopyName(s.szName, sizeof s.szName, stmt.Text(1));
            s.ulZokusei = static_cast<uint32_t>(stmt.Int(2));
            s.byFlag1 = static_cast<uint8_t>(stmt.Int(3));
            s.byFlag2 = static_cast<uint8_t>(stmt.Int(4));
            s.byFlag3 = static_cast<uint8_t>(stmt.Int(5));
            s.byTaishakuKubun = static_cast<uint8_t>(stmt.Int(6));
            s.lBumonCode = pBumon ? pBumon->lBumonCode : 0;
            sums.push_back(s);
        }
        if (status != SUITE_EOD)
            return status;
    }

    // A year of fewer than twelve 月度 has free slots after its last month;
    // its year-end closing is kept in the first of them as well as in slot
    // 13, so that a reader finds it both right after the year's months and
    // in the closing slot.
    // A period the calculator cannot divide (not a valid period, or more
    // than twelve 月度) is taken for a full year.
    int nMonths = 12;
    if (MonthCountOf(store, dataNo, &nMonths) != SUITE_OK)
        nMonths = 12;
    const int nShortYearEndSlot = nMonths < KAMOKUSUM_SLOT_KESSAN - 1 ? nMonths + 1 : -1;

    // The movements per account, department and month kind: one pass over
    // the condition's entries, shared by the requests for every department.
    std::string where;
    std::vector<long long> params;
    if ((status = RuleQuery::Filter(pFind, FindTarget::Journal, dataNo, where, params)) != SUITE_OK)
        return status;
    std::shared_ptr<const KamokuMoveSums> moves;
    if ((status = KamokuMoveSums::Get(store, dataNo, where, params, &moves)) != SUITE_OK)
        return status;
    // A sum beyond the 64-bit range is refused, as the store refuses it.
    if (pBumon ? moves->Overflowed(pBumon->lBumonCode) : moves->Overflowed())
        return SUITE_ERR_STORE;
    // Month kinds in ascending order (1 to 12, 15, 18), so that the year-end
    // closing of a short year is copied last.
    static const int kSlotOrder[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, KAMOKUSUM_SLOT_CHUKAN, KAMOKUSUM_SLOT_KESSAN};
    for (StKAMOKUSUMINFO& s : sums) {
        const KamokuMoveSums::Slots* m = pBumon ? moves->Of(s.lKamokuCode, pBumon->lBumonCode) : moves->Of(s.lKamokuCode);
        if (!m)
            continue;
        for (int slot : kSlotOrder) {
            if (!(m->present & (1u << slot)))
                continue;
            int64_t dn = m->kariNuki[slot], dt = m->kariZei[slot], cn = m->kashiNuki[slot], ct = m->kashiZei[slot];
            int64_t dk = dn, ck = cn;
            if (!AddTo(dk, dt) || !AddTo(ck, ct))
                return RULE_ERR_OVERFLOW;
            s.llKariNuki[slot] = dn;
            s.llKariKomi[slot] = dk;
            s.llKashiNuki[slot] = cn;
            s.llKashiKomi[slot] = ck;
            if (slot == KAMOKUSUM_SLOT_KESSAN && nShortYearEndSlot > 0) {
                s.llKariNuki[nShortYearEndSlot] = dn;
                s.llKariKomi[nShortYearEndSlot] = dk;
                s.llKashiNuki[nShortYearEndSlot] = cn;
                s.llKashiKomi[nShortYearEndSlot] = ck;
            }
        }
    }

    m_sums = std::move(sums);
    m_pos = 0;
    m_bReady = true;
    return SUITE_OK;
}

long ClRuleKamoku::GetSumCount(int32_t* pCount)
{
    if (!pCount)
        return SUITE_ERR_PARAM;
    if (!m_bReady)
        return RULE_ERR_NOTREADY;
    *pCount = static_cast<int32_t>(m_sums.size());
    return SUITE_OK;
}

long ClRuleKamoku::SetMovePos(int32_t nPos)
{
    if (!m_bReady)
        return RULE_ERR_NOTREADY;
    if (nPos < 0 || static_cast<size_t>(nPos) > m_sums.size())
        return SUITE_ERR_PARAM;
    m_pos = static_cast<size_t>(nPos);
    return SUITE_OK;
}

long ClRuleKamoku::MoveNext(StKAMOKUSUMINFO* pSum)
{
    if (!pSum)
        return SUITE_ERR_PARAM;
    if (!m_bReady)
        return RULE_ERR_NOTREADY;
    if (m_pos >= m_sums.size())
        return SUITE_EOD;
    *pSum = m_sums[m_pos++];
    return SUITE_OK;
}

long ClRuleKamoku::MoveFinish()
{
    m_sums.clear();
    m_sums.shrink_to_fit();
    m_pos = 0;
    m_bReady = false;
    return SUITE_OK;
}
