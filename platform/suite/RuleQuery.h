// Helpers the rule objects share: preparing a statement with its bound values,
// the selection of a dataset's rows by a search condition, the columns of a journal entry and the copy of a row into StSWKTINFO, and
// the copy of a name into a record's fixed text field.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "suite/FindSql.h"
#include "suite/RuleTypes.h"
#include "suite/SuiteStore.h"

class RuleQuery {
public:
    // Prepares `sql` and binds `params` to its placeholders in order. On a
    // failure the statement is not Valid() and `*pStatus` is SUITE_ERR_STORE.
    static suite::Statement Prepare(suite::SuiteStore* store, const std::string& sql,
                                    const std::vector<long long>& params, long* pStatus);

    // The single integer of a one-row query (a count).
    static long QueryInt(suite::SuiteStore* store, const std::string& sql,
                         const std::vector<long long>& params, long long* pValue);

    // The same for a count, into the caller's 32-bit count.
    static long QueryCount(suite::SuiteStore* store, const std::string& sql, const std::vector<long long>& params,
                           int32_t* pCount);

    // Steps to the one row of a query that always answers one (a count, a
    // list of EXISTS tests): no row at all is a fault of the store.
    static long StepOneRow(suite::Statement& stmt);

    // `where` becomes "data_no = ? AND (<condition>)" and `params` its values;
    // the status of FindSql::Translate.
    static long Filter(const StFINDINFO* pFind, FindTarget target, long long dataNo, std::string& where,
                       std::vector<long long>& params);

    // The journal columns that FillEntry reads, for "SELECT <columns> FROM journal".
    static const char* JournalColumns();
    static void FillEntry(const suite::Statement& stmt, StSWKTINFO* pEntry);

    // Copies a code page 932 text into a field of `size` bytes, NUL-terminated,
    // cut before a double-byte character that would not fit whole.
    static void CopyName(char* field, size_t size, const std::string& text);
};
