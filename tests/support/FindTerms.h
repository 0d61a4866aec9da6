// Search-condition terms for tests, written out field by field, and the
// month-range condition as the run builds it.
#pragma once

#include "suite/FindInfo.h"

#include <cstring>

namespace findtest {

inline StFINDINFO Term(int item, int side, int cmp, int valueType, long value, int connect,
                       StFINDINFO* nest = nullptr)
{
    StFINDINFO t;
    std::memset(&t, 0, sizeof t);
    t.lItem = item;
    t.nSide = static_cast<int16_t>(side);
    t.nCompare = static_cast<int16_t>(cmp);
    t.nValueType = static_cast<int16_t>(valueType);
    if (valueType == FINDVAL_SHORT)
        t.nValue = static_cast<int16_t>(value);
    else
        t.lValue = static_cast<int32_t>(value);
    t.pNest = nest;
    t.nConnect = static_cast<int16_t>(connect);
    return t;
}

inline StFINDINFO Nest(StFINDINFO* inner, int connect) { return Term(FINDITEM_NEST, 0, 0, 0, 0, connect, inner); }

// The run's month-range condition in FINDINFO_RUN_TERMS terms: s <= kind <= e,
// then the half-year (15) and year-end (18) closing terms when asked for.
inline void MonthRange(StFINDINFO* c, int s, int e, bool half, bool year)
{
    std::memset(c, 0, sizeof(StFINDINFO) * FINDINFO_RUN_TERMS);
    c[0] = Term(FINDITEM_MONTHKIND, 0, FINDCMP_GE, FINDVAL_SHORT, s, FINDCON_AND);
    c[1] = Term(FINDITEM_MONTHKIND, 0, FINDCMP_LE, FINDVAL_SHORT, e, FINDCON_END);
    int last = 1;
    if (half) {
        c[last].nConnect = FINDCON_OR;
        c[++last] = Term(FINDITEM_MONTHKIND, 0, FINDCMP_EQ, FINDVAL_SHORT, 15, FINDCON_END);
    }
    if (year) {
        c[last].nConnect = FINDCON_OR;
        c[++last] = Term(FINDITEM_MONTHKIND, 0, FINDCMP_EQ, FINDVAL_SHORT, 18, FINDCON_END);
    }
}

}  // namespace findtest
