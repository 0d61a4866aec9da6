// Translation of a search condition into an SQL expression over one of the
// store's tables. Terms become comparisons of a column with a bound
// parameter, nested conditions become parenthesised sub-expressions and the
// connectors become AND and OR, so the store selects the rows itself.
#pragma once

#include <string>
#include <vector>

#include "suite/FindInfo.h"

// The table a condition is applied to; it decides which field codes exist.
enum class FindTarget {
    Journal,  // journal entries: month kind (17), tax code of a side (3)
    Account,  // accounts: attribute code (16)
    Asset,    // fixed assets: acquisition date (203)
};

class FindSql {
public:
    // Limits that keep a malformed or cyclic condition from running away.
    static constexpr int kMaxTerms = 256;  // terms of one condition level
    static constexpr int kMaxDepth = 16;   // nesting levels

    // Appends the expression of `cond` to `sql` (column names unqualified)
    // and its values to `params`, in the order of their "?" placeholders.
    // A null condition selects every row ("1"). Returns 0, or
    // RULE_ERR_CONDITION for a condition the target cannot answer; `sql` and
    // `params` are then left as they were.
    static long Translate(const StFINDINFO* cond, FindTarget target, std::string& sql,
                          std::vector<long long>& params);

private:
    static long TranslateLevel(const StFINDINFO* cond, FindTarget target, int depth,
                               std::string& sql, std::vector<long long>& params);
    static long TranslateTerm(const StFINDINFO& term, FindTarget target, int depth,
                              std::string& sql, std::vector<long long>& params);
};
