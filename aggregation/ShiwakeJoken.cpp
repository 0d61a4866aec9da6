#include "aggregation/ShiwakeJoken.h"

#include <cstring>

ShiwakeJoken::ShiwakeJoken()
{
    std::memset(m_outer, 0, sizeof m_outer);
    std::memset(m_sides, 0, sizeof m_sides);
    std::memset(m_kari, 0, sizeof m_kari);
    std::memset(m_kashi, 0, sizeof m_kashi);
}

StFINDINFO ShiwakeJoken::Term(int nItem, int nSide, int nCompare, int nValueType, long lValue, int nConnect)
{
    StFINDINFO t;
    std::memset(&t, 0, sizeof t);
    t.lItem = nItem;
    t.nSide = static_cast<int16_t>(nSide);
    t.nCompare = static_cast<int16_t>(nCompare);
    t.nValueType = static_cast<int16_t>(nValueType);
    if (nValueType == FINDVAL_SHORT) {
        t.nValue = static_cast<int16_t>(lValue);
    } else {
        t.lValue = static_cast<int32_t>(lValue);
    }
    t.nConnect = static_cast<int16_t>(nConnect);
    return t;
}

StFINDINFO ShiwakeJoken::Nest(const StFINDINFO* pInner, int nConnect)
{
    StFINDINFO t = Term(FINDITEM_NEST, FINDSIDE_NONE, 0, 0, 0, nConnect);
    // The library only reads a nested condition.
    t.pNest = const_cast<StFINDINFO*>(pInner);
    return t;
}

const StFINDINFO* ShiwakeJoken::JoinSides(const StFINDINFO* pRange)
{
    m_sides[0] = Nest(m_kari, FINDCON_OR);
    m_sides[1] = Nest(m_kashi, FINDCON_END);
    m_outer[0] = Nest(m_sides, FINDCON_AND);
    m_outer[1] = Nest(pRange, FINDCON_END);
    return m_outer;
}

const StFINDINFO* ShiwakeJoken::BuildMiteiYunyu(const StFINDINFO* pRange)
{
    std::memset(m_kari, 0, sizeof m_kari);
    std::memset(m_kashi, 0, sizeof m_kashi);
    m_kari[0] = Term(FINDITEM_ZEICODE, FINDSIDE_KARI, FINDCMP_GE, FINDVAL_LONG, 31, FINDCON_AND);
    m_kari[1] = Term(FINDITEM_ZEICODE, FINDSIDE_KARI, FINDCMP_LE, FINDVAL_LONG, 37, FINDCON_END);
    m_kashi[0] = Term(FINDITEM_ZEICODE, FINDSIDE_KASHI, FINDCMP_GE, FINDVAL_LONG, 31, FINDCON_AND);
    m_kashi[1] = Term(FINDITEM_ZEICODE, FINDSIDE_KASHI, FINDCMP_LE, FINDVAL_LONG, 37, FINDCON_END);
    return JoinSides(pRange);
}

const StFINDINFO* ShiwakeJoken::BuildKanpu(const StFINDINFO* pRange)
{
    for (int side : {FINDSIDE_KARI, FINDSIDE_KASHI}) {
        StFINDINFO* terms = side == FINDSIDE_KARI ? m_kari : m_kashi;
        terms[0] = Term(FINDITEM_ZEICODE, side, FINDCMP_LT, FINDVAL_LONG, 21, FINDCON_OR);
        terms[1] = Term(FINDITEM_ZEICODE, side, FINDCMP_EQ, FINDVAL_LONG, 24, FINDCON_OR);
        terms[2] = Term(FINDITEM_ZEICODE, side, FINDCMP_GE, FINDVAL_LONG, 30, FINDCON_END);
    }
    return JoinSides(pRange);
}

const StFINDINFO* ShiwakeJoken::BuildZokusei(const DWORD* pCodes, int nCount)
{
    m_terms.clear();
    for (int i = 0; i < nCount; ++i) {
        const int connect = i + 1 < nCount ? FINDCON_OR : FINDCON_END;
        m_terms.push_back(
            Term(FINDITEM_ZOKUSEI, FINDSIDE_NONE, FINDCMP_EQ, FINDVAL_ZOKUSEI, static_cast<long>(pCodes[i]), connect));
    }
    return m_terms.empty() ? nullptr : m_terms.data();
}

const StFINDINFO* ShiwakeJoken::BuildShutokuDate(long lFrom, long lTo)
{
    m_terms.clear();
    m_terms.push_back(Term(FINDITEM_SHUTOKUDATE, FINDSIDE_NONE, FINDCMP_GE, FINDVAL_LONG, lFrom, FINDCON_AND));
    m_terms.push_back(Term(FINDITEM_SHUTOKUDATE, FINDSIDE_NONE, FINDCMP_LE, FINDVAL_LONG, lTo, FINDCON_END));
    return m_terms.data();
}
