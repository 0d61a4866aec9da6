#include "suite/ClRuleShiwake.h"

#include <cstring>
#include <string>
#include <vector>

#include "suite/FindSql.h"
#include "suite/RuleQuery.h"
#include "suite/RuleStatus.h"
#include "suite/SuiteStore.h"
#include "suite/TaxCodeTable.h"

namespace {

// "data_no = ? AND (<condition>)" with its values.
long EntryFilter(const StFINDINFO* pFind, long long dataNo, std::string& where, std::vector<long long>& params)
{
    where = "data_no = ? AND (";
    params.assign(1, dataNo);
    long status = FindSql::Translate(pFind, FindTarget::Journal, where, params);
    where += ")";
    return status;
}

DWORD RateBit(long long rate, long long reduced)
{
    switch (rate) {
    case 300: return SWKRATE_3;
    case 500: return SWKRATE_5;
    case 800: return reduced ? SWKRATE_8_KEIGEN : SWKRATE_8;
    case 1000: return SWKRATE_10;
    default: return 0;
    }
}

} // namespace

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
    suite::SuiteStore* store;
    long long dataNo;
    long status = QueryScope(&store, &dataNo);
    if (status != SUITE_OK)
        return status;
    std::string where;
    std::vector<long long> params;
    if ((status = EntryFilter(pFind, dataNo, where, params)) != SUITE_OK)
        return status;
    long long count = 0;
    status = RuleQuery::QueryInt(store, "SELECT COUNT(*) FROM journal WHERE " + where, params, &count);
    if (status == SUITE_OK)
        *pCount = static_cast<int32_t>(count);
    return status;
}

long ClRuleShiwake::CheckExistSwkByZeiRate(const StFINDINFO* pFind, DWORD* pBits, int nSides)
{
    if (!pBits || nSides < SWKSIDE_KARI || nSides > SWKSIDE_BOTH)
        return SUITE_ERR_PARAM;
    suite::SuiteStore* store;
    long long dataNo;
    long status = QueryScope(&store, &dataNo);
    if (status != SUITE_OK)
        return status;
    std::string where;
    std::vector<long long> params;
    if ((status = EntryFilter(pFind, dataNo, where, params)) != SUITE_OK)
        return status;

    // The distinct (tax code, rate, reduced) triples of the chosen sides: a
    // short list, whatever the number of entries.
    std::string sql;
    std::vector<long long> all;
    if (nSides & SWKSIDE_KARI) {
        sql = "SELECT DISTINCT dr_tax_code, dr_rate, dr_reduced FROM journal WHERE " + where;
        all = params;
    }
    if (nSides & SWKSIDE_KASHI) {
        if (!sql.empty())
            sql += " UNION ";
        sql += "SELECT DISTINCT cr_tax_code, cr_rate, cr_reduced FROM journal WHERE " + where;
        all.insert(all.end(), params.begin(), params.end());
    }
    suite::Statement stmt = RuleQuery::Prepare(store, sql, all, &status);
    if (status != SUITE_OK)
        return status;
    DWORD bits = *pBits;
    while ((status = stmt.Step()) == SUITE_OK) {
        const TaxCodeRule* rule = TaxCodeTable::Find(static_cast<int>(stmt.Int(0)));
        if (rule && rule->rated)
            bits |= RateBit(stmt.Int(1), stmt.Int(2));
    }
    if (status != SUITE_EOD)
        return status;
    *pBits = bits;
    return SUITE_OK;
}

long ClRuleShiwake::CheckExistSwkByJigyoBunrui(const StFINDINFO* pFind, int32_t nKind, int32_t* pCount)
{
    if (!pCount || nKind < 1 || nKind > 6)
        return SUITE_ERR_PARAM;
    suite::SuiteStore* store;
    long long dataNo;
    long status = QueryScope(&store, &dataNo);
    if (status != SUITE_OK)
        return status;
    std::string where;
    std::vector<long long> params;
    if ((status = EntryFilter(pFind, dataNo, where, params)) != SUITE_OK)
        return status;
    params.push_back(nKind);
    params.push_back(nKind);
    long long count = 0;
    status = RuleQuery::QueryInt(
        store, "SELECT COUNT(*) FROM journal WHERE " + where + " AND (dr_business = ? OR cr_business = ?)", params,
        &count);
    if (status == SUITE_OK)
        *pCount = static_cast<int32_t>(count);
    return status;
}

long ClRuleShiwake::MoveReady(const StFINDINFO* pFind, const void* /*pOrder*/, const void* /*pDisp*/, int nCursorType)
{
    MoveFinish();
    if (nCursorType != SWKCURSOR_FORWARD)
        return SUITE_ERR_PARAM;
    suite::SuiteStore* store;
    long long dataNo;
    long status = QueryScope(&store, &dataNo);
    if (status != SUITE_OK)
        return status;
    std::string where;
    std::vector<long long> params;
    if ((status = EntryFilter(pFind, dataNo, where, params)) != SUITE_OK)
        return status;
    // The order index both selects the dataset and gives the order, so the
    // walk steps through the table without sorting anything aside.
    std::string sql = std::string("SELECT ") + RuleQuery::JournalColumns() +
                      " FROM journal INDEXED BY journal_order WHERE " + where + " ORDER BY entry_date, entry_no";
    suite::Statement stmt = RuleQuery::Prepare(store, sql, params, &status);
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
