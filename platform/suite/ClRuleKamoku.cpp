#include "suite/ClRuleKamoku.h"

#include <cstring>
#include <string>
#include <unordered_map>

#include "suite/ClAccPeriod.h"
#include "suite/FindSql.h"
#include "suite/RuleQuery.h"
#include "suite/RuleStatus.h"
#include "suite/SuiteStore.h"

namespace {

// The summary slot of a month kind, or -1.
int SlotOf(long long monthKind)
{
    if (monthKind >= 1 && monthKind <= 12)
        return static_cast<int>(monthKind);
    if (monthKind == 18)
        return KAMOKUSUM_SLOT_KESSAN;
    if (monthKind == 15)
        return KAMOKUSUM_SLOT_CHUKAN;
    return -1;
}

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
    std::unordered_map<long long, size_t> indexOf;
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
            indexOf.emplace(stmt.Int(0), sums.size());
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

    // The movements per account and month kind; the store groups them, so
    // what comes back is at most one row per account and month.
    std::string where = "data_no = ? AND (";
    std::vector<long long> params{dataNo};
    if ((status = FindSql::Translate(pFind, FindTarget::Journal, where, params)) != SUITE_OK)
        return status;
    where += ")";
    std::string drWhere = where + " AND dr_account <> 0";
    std::string crWhere = where + " AND cr_account <> 0";
    std::vector<long long> drParams = params, crParams = params;
    if (pBumon) {
        drWhere += " AND dr_dept = ?";
        crWhere += " AND cr_dept = ?";
        drParams.push_back(pBumon->lBumonCode);
        crParams.push_back(pBumon->lBumonCode);
    }
    std::vector<long long> all = drParams;
    all.insert(all.end(), crParams.begin(), crParams.end());
    std::string sql =
        "SELECT account, month_kind, SUM(dn), SUM(dt), SUM(cn), SUM(ct) FROM ("
        " SELECT dr_account AS account, month_kind, dr_amount AS dn, dr_tax AS dt, 0 AS cn, 0 AS ct"
        " FROM journal WHERE " + drWhere +
        " UNION ALL"
        " SELECT cr_account, month_kind, 0, 0, cr_amount, cr_tax FROM journal WHERE " + crWhere +
        ") GROUP BY account, month_kind";
    suite::Statement stmt = RuleQuery::Prepare(store, sql, all, &status);
    if (status != SUITE_OK)
        return status;
    while ((status = stmt.Step()) == SUITE_OK) {
        auto it = indexOf.find(stmt.Int(0));
        int slot = SlotOf(stmt.Int(1));
        if (it == indexOf.end() || slot < 0)
            continue;
        StKAMOKUSUMINFO& s = sums[it->second];
        int64_t dn = stmt.Int(2), dt = stmt.Int(3), cn = stmt.Int(4), ct = stmt.Int(5);
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
    if (status != SUITE_EOD)
        return status;

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
