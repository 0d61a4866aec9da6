#include "suite/RuleQuery.h"

#include <cstring>

#include "win32/Mbcs.h"

suite::Statement RuleQuery::Prepare(suite::SuiteStore* store, const std::string& sql,
                                    const std::vector<long long>& params, long* pStatus)
{
    suite::Statement stmt = store->Prepare(sql);
    if (!stmt.Valid()) {
        *pStatus = SUITE_ERR_STORE;
        return stmt;
    }
    for (size_t i = 0; i < params.size(); ++i)
        stmt.Bind(static_cast<int>(i + 1), params[i]);
    *pStatus = SUITE_OK;
    return stmt;
}

long RuleQuery::QueryInt(suite::SuiteStore* store, const std::string& sql,
                         const std::vector<long long>& params, long long* pValue)
{
    long status;
    suite::Statement stmt = Prepare(store, sql, params, &status);
    if (status != SUITE_OK)
        return status;
    if ((status = StepOneRow(stmt)) != SUITE_OK)
        return status;
    *pValue = stmt.Int(0);
    return SUITE_OK;
}

long RuleQuery::QueryCount(suite::SuiteStore* store, const std::string& sql, const std::vector<long long>& params,
                           int32_t* pCount)
{
    long long count = 0;
    long status = QueryInt(store, sql, params, &count);
    if (status == SUITE_OK)
        *pCount = static_cast<int32_t>(count);
    return status;
}

long RuleQuery::StepOneRow(suite::Statement& stmt)
{
    long status = stmt.Step();
    return status == SUITE_EOD ? SUITE_ERR_STORE : status;
}

long RuleQuery::Filter(const StFINDINFO* pFind, FindTarget target, long long dataNo, std::string& where,
                       std::vector<long long>& params)
{
    where = "data_no = ? AND (";
    params.assign(1, dataNo);
    long status = FindSql::Translate(pFind, target, where, params);
    where += ")";
    return status;
}

const char* RuleQuery::JournalColumns()
{
    return "entry_no, entry_date, month_kind, "
           "dr_account, dr_dept, dr_amount, dr_tax, dr_tax_code, dr_rate, dr_reduced, dr_business, dr_invoice, "
           "cr_account, cr_dept, cr_amount, cr_tax, cr_tax_code, cr_rate, cr_reduced, cr_business, cr_invoice";
}

namespace {

void FillSide(const suite::Statement& stmt, int first, StSWKTSIDE* side)
{
    side->lKamokuCode = static_cast<int32_t>(stmt.Int(first));
    side->lBumonCode = static_cast<int32_t>(stmt.Int(first + 1));
    side->llKingaku = stmt.Int(first + 2);
    side->llZeigaku = stmt.Int(first + 3);
    side->byZeiCode = static_cast<uint8_t>(stmt.Int(first + 4));
    side->lZeiRate = static_cast<int32_t>(stmt.Int(first + 5));
    side->byKeigen = static_cast<uint8_t>(stmt.Int(first + 6));
    side->byJigyoKubun = static_cast<uint8_t>(stmt.Int(first + 7));
    side->byInvoice = static_cast<uint8_t>(stmt.Int(first + 8));
}

} // namespace

void RuleQuery::FillEntry(const suite::Statement& stmt, StSWKTINFO* pEntry)
{
    pEntry->lSwkNo = static_cast<int32_t>(stmt.Int(0));
    pEntry->lDate = static_cast<int32_t>(stmt.Int(1));
    pEntry->nMonthKind = static_cast<int16_t>(stmt.Int(2));
    FillSide(stmt, 3, &pEntry->kari);
    FillSide(stmt, 12, &pEntry->kashi);
}

void RuleQuery::CopyName(char* field, size_t size, const std::string& text)
{
    if (size == 0)
        return;
    size_t n = 0;
    while (n < text.size()) {
        size_t len = mbcs::CharLen(text, n);
        if (n + len > size - 1)
            break;
        n += len;
    }
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}
