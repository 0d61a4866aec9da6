// Search-condition terms for tests, made by the program's own term builder,
// and month-range conditions in the run's layout.
#pragma once

#include "aggregation/ShiwakeJoken.h"
#include "suite/FindInfo.h"

#include <cstring>

namespace findtest {

// One term, every byte no argument sets 0; a term that nests `inner`.
inline constexpr auto Term = &ShiwakeJoken::Term;
inline constexpr auto Nest = &ShiwakeJoken::Nest;

// A month-range condition in the layout of the run's (FINDINFO_RUN_TERMS
// terms): s <= kind <= e, then the half-year (15) and year-end (18) closing
// terms when asked for. Unlike the run's builder it takes the month kinds
// and the closings directly, so the suite's tests can ask for combinations
// that no fiscal period gives.
inline void MonthRange(StFINDINFO* c, int s, int e, bool half, bool year)
{
    std::memset(c, 0, sizeof(StFINDINFO) * FINDINFO_RUN_TERMS);
    c[0] = Term(FINDITEM_MONTHKIND, FINDSIDE_NONE, FINDCMP_GE, FINDVAL_SHORT, s, FINDCON_AND);
    c[1] = Term(FINDITEM_MONTHKIND, FINDSIDE_NONE, FINDCMP_LE, FINDVAL_SHORT, e, FINDCON_END);
    int last = 1;
    if (half) {
        c[last].nConnect = FINDCON_OR;
        c[++last] = Term(FINDITEM_MONTHKIND, FINDSIDE_NONE, FINDCMP_EQ, FINDVAL_SHORT, 15, FINDCON_END);
    }
    if (year) {
        c[last].nConnect = FINDCON_OR;
        c[++last] = Term(FINDITEM_MONTHKIND, FINDSIDE_NONE, FINDCMP_EQ, FINDVAL_SHORT, 18, FINDCON_END);
    }
}

}  // namespace findtest
