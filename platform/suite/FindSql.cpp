#include "suite/FindSql.h"

#include <cstring>

#include "suite/RuleStatus.h"

namespace {

// The column a field code (and side) names in a target, or null.
//
// Journal columns carry a unary plus, which keeps the store from choosing an
// index by them: the conditions the program builds keep most of a dataset's
// entries (a range of months, a few tax codes), and gathering those row by
// row from several index ranges costs twice a plain pass. The dataset number
// picks the access path instead, and a count reads the journal's covering
// index (schema.sql).
const char* ColumnOf(const StFINDINFO& term, FindTarget target)
{
    switch (target) {
    case FindTarget::Journal:
        if (term.lItem == FINDITEM_MONTHKIND)
            return term.nSide == FINDSIDE_NONE ? "+month_kind" : nullptr;
        if (term.lItem == FINDITEM_ZEICODE) {
            if (term.nSide == FINDSIDE_KARI)
                return "+dr_tax_code";
            if (term.nSide == FINDSIDE_KASHI)
                return "+cr_tax_code";
        }
        return nullptr;
    case FindTarget::Account:
        return term.lItem == FINDITEM_ZOKUSEI ? "attr" : nullptr;
    case FindTarget::Asset:
        return term.lItem == FINDITEM_SHUTOKUDATE ? "acq_date" : nullptr;
    }
    return nullptr;
}

const char* OperatorOf(int compare)
{
    switch (compare) {
    case FINDCMP_EQ: return " = ";
    case FINDCMP_NE: return " <> ";
    case FINDCMP_GT: return " > ";
    case FINDCMP_GE: return " >= ";
    case FINDCMP_LT: return " < ";
    case FINDCMP_LE: return " <= ";
    default: return nullptr;
    }
}

// The term's value by its type. Attribute codes are 32-bit patterns kept
// unsigned in the store, so they are widened without sign.
bool ValueOf(const StFINDINFO& term, long long& value)
{
    switch (term.nValueType) {
    case FINDVAL_SHORT: {
        int16_t v;
        std::memcpy(&v, reinterpret_cast<const char*>(&term) + offsetof(StFINDINFO, nValue), sizeof v);
        value = v;
        return true;
    }
    case FINDVAL_LONG: {
        int32_t v;
        std::memcpy(&v, reinterpret_cast<const char*>(&term) + offsetof(StFINDINFO, lValue), sizeof v);
        value = term.lItem == FINDITEM_ZOKUSEI ? static_cast<long long>(static_cast<uint32_t>(v)) : v;
        return true;
    }
    case FINDVAL_ZOKUSEI: {
        uint32_t v;
        std::memcpy(&v, reinterpret_cast<const char*>(&term) + offsetof(StFINDINFO, lValue), sizeof v);
        value = v;
        return true;
    }
    default:
        return false;
    }
}

} // namespace

long FindSql::Translate(const StFINDINFO* cond, FindTarget target, std::string& sql,
                        std::vector<long long>& params)
{
    if (cond == nullptr) {
        sql += "1";
        return RULE_OK;
    }
    std::string expr;
    std::vector<long long> values;
    long status = TranslateLevel(cond, target, 0, expr, values);
    if (status != RULE_OK)
        return status;
    sql += expr;
    params.insert(params.end(), values.begin(), values.end());
    return RULE_OK;
}

long FindSql::TranslateLevel(const StFINDINFO* cond, FindTarget target, int depth, std::string& sql,
                             std::vector<long long>& params)
{
    if (depth >= kMaxDepth)
        return RULE_ERR_CONDITION;
    for (int i = 0;; ++i) {
        if (i >= kMaxTerms)
            return RULE_ERR_CONDITION;
        const StFINDINFO& term = cond[i];
        long status = TranslateTerm(term, target, depth, sql, params);
        if (status != RULE_OK)
            return status;
        switch (term.nConnect) {
        case FINDCON_END:
            return RULE_OK;
        case FINDCON_AND:
            sql += " AND ";
            break;
        case FINDCON_OR:
            sql += " OR ";
            break;
        default:
            return RULE_ERR_CONDITION;
        }
    }
}

long FindSql::TranslateTerm(const StFINDINFO& term, FindTarget target, int depth, std::string& sql,
                            std::vector<long long>& params)
{
    if (term.lItem == FINDITEM_NEST) {
        if (term.pNest == nullptr)
            return RULE_ERR_CONDITION;
        sql += "(";
        long status = TranslateLevel(term.pNest, target, depth + 1, sql, params);
        if (status != RULE_OK)
            return status;
        sql += ")";
        return RULE_OK;
    }
    const char* column = ColumnOf(term, target);
    const char* op = OperatorOf(term.nCompare);
    long long value = 0;
    if (column == nullptr || op == nullptr || !ValueOf(term, value))
        return RULE_ERR_CONDITION;
    sql += "(";
    sql += column;
    sql += op;
    sql += "?)";
    params.push_back(value);
    return RULE_OK;
}
