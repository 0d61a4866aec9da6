#include "suite/ClRuleShiwake.h"

#include <cstring>
#include <string>
#include <vector>

#include "suite/RuleQuery.h"
#include "suite/RuleStatus.h"
#include "suite/SuiteStore.h"
#include "suite/TaxCodeTable.h"

ClRuleShiwake::ClRuleShiwake() = default;

ClRuleShiwake::~ClRuleShiwake() = default;

long ClRuleShiwake::AttachSetMgr(ClSetMgr* pSetMgr)
{
    MoveFinish();
    return ClRuleBase::AttachSetMgr(pSetMgr);
}

long ClRuleShiwake::SetCurDataID(LPCDATAID pDataID)
{
    MoveFinish();
    return ClRuleBase::SetCurDataID(pDataID);
}

long ClRuleShiwake::GetSwkCount(const StFINDINFO* pFind, const void* /*pDisp*/, int32_t* pCount)
{
    if (!pCount)
        return SUITE_ERR_PARAM;
    Scope q;
    long status = QueryScope(pFind, FindTarget::Journal, &q);
    if (status != SUITE_OK)
        return status;
    return RuleQuery::QueryCount(q.store, "SELECT COUNT(*) FROM journal WHERE " + q.where, q.params, pCount);
}

long ClRuleShiwake::CheckExistSwkByZeiRate(const StFINDINFO* pFind, DWORD* pBits, int nSides)
{
    if (!pBits || nSides < SWKSIDE_KARI || nSides > SWKSIDE_BOTH)
        return SUITE_ERR_PARAM;
    Scope q;
    long status = QueryScope(pFind, FindTarget::Journal, &q);
    if (status != SUITE_OK)
        return status;

    // One existence test per rate bit and side, each a look-up in the side's
    // rate index (schema.sql) however many entries the range holds. The
    // store keeps the reduced flag 0 or 1, and 1 only with 8 %.
    std::string rated;
    for (size_t i = 0; i < TaxCodeTable::Count(); ++i) {
        const TaxCodeRule& rule = TaxCodeTable::Begin()[i];
        if (!rule.rated)
            continue;
        rated += rated.empty() ? "" : ", ";
        rated += std::to_string(rule.code);
    }
    static const struct {
        DWORD bit;
        int rate;
        const char* reduced;
    } kRateBits[] = {
        {SWKRATE_3, 300, "IN (0, 1)"}, {SWKRATE_5, 500, "IN (0, 1)"}, {SWKRATE_8, 800, "= 0"},
        {SWKRATE_8_KEIGEN, 800, "= 1"}, {SWKRATE_10, 1000, "IN (0, 1)"},
    };
    std::string sql;
    std::vector<long long> all;
    std::vector<DWORD> bitOf;
    for (int side = SWKSIDE_KARI; side <= SWKSIDE_KASHI; ++side) {
        if (!(nSides & side))
            continue;
        const std::string p = side == SWKSIDE_KARI ? "dr_" : "cr_";
        for (const auto& r : kRateBits) {
            sql += sql.empty() ? "SELECT " : ", ";
            sql += "EXISTS (SELECT 1 FROM journal WHERE " + q.where + " AND " + p + "rate = " + std::to_string(r.rate) +
                   " AND " + p + "reduced " + r.reduced + " AND " + p + "tax_code IN (" + rated + "))";
            all.insert(all.end(), q.params.begin(), q.params.end());
            bitOf.push_back(r.bit);
        }
    }
    suite::Statement stmt = RuleQuery::Prepare(q.store, sql, all, &status);
    if (status != SUITE_OK)
        return status;
    if ((status = RuleQuery::StepOneRow(stmt)) != SUITE_OK)
        return status;
    DWORD bits = *pBits;
    for (size_t i = 0; i < bitOf.size(); ++i)
        if (stmt.Int(static_cast<int>(i)) != 0)
            bits |= bitOf[i];
    *pBits = bits;
    return SUITE_OK;
}

long ClRuleShiwake::CheckExistSwkByJigyoBunrui(const StFINDINFO* pFind, int32_t nKind, int32_t* pCount)
{
    if (!pCount || nKind < 1 || nKind > 6)
        return SUITE_ERR_PARAM;
    Scope q;
    long status = QueryScope(pFind, FindTarget::Journal, &q);
    if (status != SUITE_OK)
        return status;
    q.params.push_back(nKind);
    q.params.push_back(nKind);
    return RuleQuery::QueryCount(
        q.store, "SELECT COUNT(*) FROM journal WHERE " + q.where + " AND (dr_business = ? OR cr_business = ?)", q.params,
        pCount);
}

long ClRuleShiwake::MoveReady(const StFINDINFO* pFind, const void* /*pOrder*/, const void* /*pDisp*/, int nCursorType)
{
    MoveFinish();
    if (nCursorType != SWKCURSOR_FORWARD)
        return SUITE_ERR_PARAM;
    Scope q;
    long status = QueryScope(pFind, FindTarget::Journal, &q);
    if (status != SUITE_OK)
        return status;
    // The order index both selects the dataset and gives the order, so the
    // walk steps through the table without sorting anything aside.
    std::string sql = std::string("SELECT ") + RuleQuery::JournalColumns() +
                      " FROM journal INDEXED BY journal_order WHERE " + q.where + " ORDER BY entry_date, entry_no";
    suite::Statement stmt = RuleQuery::Prepare(q.store, sql, q.params, &status);
    if (status != SUITE_OK)
        return status;
    m_pWalk = std::make_unique<suite::Statement>(std::move(stmt));
    m_bWalkEnded = false;
    return SUITE_OK;
}

long ClRuleShiwake::MoveNext(StSWKTINFO* pEntry)
{
    if (!pEntry)
        return SUITE_ERR_PARAM;
    if (!m_pWalk)
        return RULE_ERR_NOTREADY;
    if (m_bWalkEnded)
        return SUITE_EOD;
    long status = m_pWalk->Step();
    if (status == SUITE_OK) {
        std::memset(pEntry, 0, sizeof *pEntry);
        RuleQuery::FillEntry(*m_pWalk, pEntry);
    } else {
        m_bWalkEnded = true;
    }
    return status;
}

long ClRuleShiwake::MoveFinish()
{
    m_pWalk.reset();
    m_bWalkEnded = false;
    return SUITE_OK;
}
