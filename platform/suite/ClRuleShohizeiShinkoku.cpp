#include "suite/ClRuleShohizeiShinkoku.h"

#include <cstring>
#include <string>
#include <vector>

#include "suite/KamokuMoveSums.h"
#include "suite/RuleQuery.h"
#include "suite/RuleStatus.h"
#include "suite/SuiteStore.h"
#include "suite/TaxSummation.h"

ClRuleShohizeiShinkoku::ClRuleShohizeiShinkoku() = default;

ClRuleShohizeiShinkoku::~ClRuleShohizeiShinkoku() = default;

long ClRuleShohizeiShinkoku::SetSubstTaxRate(int32_t lRate)
{
    if (lRate != 0 && lRate != 300 && lRate != 500 && lRate != 800 && lRate != 1000)
        return SUITE_ERR_PARAM;
    m_lSubstRate = lRate;
    return SUITE_OK;
}

long ClRuleShohizeiShinkoku::SumTax(int /*nKazeiKubun*/, const StFINDINFO* pFind, StTAXREPORTRATEINFO* pRates,
                                    StTAXREPORTBUSINESSTYPEINFO* pKinds, int /*nReserved*/, int /*nSettingByte12*/,
                                    int32_t /*lSettingValue16*/)
{
    if (!pRates || !pKinds)
        return SUITE_ERR_PARAM;
    Scope q;
    long status = QueryScope(pFind, FindTarget::Journal, &q);
    if (status != SUITE_OK)
        return status;
    suite::Statement stmt = RuleQuery::Prepare(
        q.store, std::string("SELECT ") + RuleQuery::JournalColumns() + " FROM journal WHERE " + q.where, q.params,
        &status);
    if (status != SUITE_OK)
        return status;

    TaxSummation sum(pRates, pKinds, m_lSubstRate);
    sum.Begin();
    // The account summaries of the same condition (the refund statement
    // asks for them next) are gathered on the way.
    KamokuMoveSums::Collector moves(q.store, q.dataNo, q.where, q.params);
    StSWKTINFO entry;
    while ((status = stmt.Step()) == SUITE_OK) {
        std::memset(&entry, 0, sizeof entry);
        RuleQuery::FillEntry(stmt, &entry);
        sum.AddSide(entry.kari, 1);
        sum.AddSide(entry.kashi, 2);
        moves.Add(entry.nMonthKind, entry.kari, entry.kashi);
    }
    long placed = sum.Finish();
    if (status != SUITE_EOD)
        return status;
    moves.Keep();
    return placed;
}
