// The search conditions that the aggregation builds around the run's
// month-range condition. A condition nests others by pointer, so the object
// holds every level in its own arrays and must stay where it is while a query
// uses it (it cannot be copied). Each Build call replaces the previous
// condition and returns its first term.
#pragma once

#include <vector>

#include "win32/Windows.h"
#include "suite/FindInfo.h"

class ShiwakeJoken {
public:
    ShiwakeJoken();
    ShiwakeJoken(const ShiwakeJoken&) = delete;
    ShiwakeJoken& operator=(const ShiwakeJoken&) = delete;

    // (debit tax code 31 to 37 OR credit tax code 31 to 37) AND range.
    const StFINDINFO* BuildMiteiYunyu(const StFINDINFO* pRange);
    // (debit tax code < 21, = 24 or >= 30 OR the same on the credit side)
    // AND range: the entries the refund statement's journal amounts read.
    const StFINDINFO* BuildKanpu(const StFINDINFO* pRange);
    // Attribute code equal to one of the codes (OR); at least one code.
    const StFINDINFO* BuildZokusei(const DWORD* pCodes, int nCount);
    // from <= acquisition date <= to.
    const StFINDINFO* BuildShutokuDate(long lFrom, long lTo);

    // One term; every byte that no argument sets is 0.
    static StFINDINFO Term(int nItem, int nSide, int nCompare, int nValueType, long lValue, int nConnect);
    static StFINDINFO Nest(const StFINDINFO* pInner, int nConnect);

private:
    // (kari OR kashi) AND range, the two sides filled by the caller.
    const StFINDINFO* JoinSides(const StFINDINFO* pRange);

    StFINDINFO m_outer[2];
    StFINDINFO m_sides[2];
    StFINDINFO m_kari[3];
    StFINDINFO m_kashi[3];
    std::vector<StFINDINFO> m_terms;
};
