#include "suite/ClSetKamoku.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "suite/RuleQuery.h"
#include "suite/SuiteStore.h"

namespace {

struct KamokuCursor : suite::SuiteCursor {
    bool started = false;  // the walk's statement has been prepared
};

KamokuCursor* FindKamokuCursor(SUITECURSOR handle)
{
    return suite::SuiteCursor::FindAs<KamokuCursor>(handle);
}

} // namespace

long ClSetKamoku::GetCursor(SUITECURSOR* pCursor)
{
    return suite::SuiteCursor::Open<KamokuCursor>(pCursor);
}

long ClSetKamoku::ReadyCursor(SUITECURSOR cursor)
{
    KamokuCursor* c = FindKamokuCursor(cursor);
    if (!c)
        return SUITE_ERR_CURSOR;
    c->stmt = suite::Statement();
    c->started = false;
    c->ready = true;
    return SUITE_OK;
}

long ClSetKamoku::WalkFind(const StFINDINFO* pFind, StKAMOKUINFO* pKamoku, SUITECURSOR cursor)
{
    KamokuCursor* c = FindKamokuCursor(cursor);
    if (!c || !c->ready)
        return SUITE_ERR_CURSOR;
    if (!pKamoku)
        return SUITE_ERR_PARAM;
    if (!c->started) {
        long long dataNo = 0;
        long status = CurDataNo(&dataNo);
        if (status != SUITE_OK)
            return status;
        std::string where;
        std::vector<long long> params;
        if ((status = RuleQuery::Filter(pFind, FindTarget::Account, dataNo, where, params)) != SUITE_OK)
            return status;
        c->stmt = RuleQuery::Prepare(suite::SuiteStore::Current(),
                                     "SELECT code, name, attr, excluded, balance_side FROM accounts WHERE " + where +
                                         " ORDER BY code",
                                     params, &status);
        if (status != SUITE_OK)
            return status;
        c->started = true;
    }
    long status = c->stmt.Step();
    if (status != SUITE_OK) {
        c->ready = false;  // the walk is over; ReadyCursor starts a new one
        return status;
    }
    std::memset(pKamoku, 0, sizeof *pKamoku);
    pKamoku->lKamokuCode = static_cast<int32_t>(c->stmt.Int(0));
    RuleQuery::CopyName(pKamoku->szName, sizeof pKamoku->szName, c->stmt.Text(1));
    pKamoku->ulZokusei = static_cast<uint32_t>(c->stmt.Int(2));
    pKamoku->byExclude = static_cast<uint8_t>(c->stmt.Int(3));
    pKamoku->byTaishakuKubun = static_cast<uint8_t>(c->stmt.Int(4));
    return SUITE_OK;
}

long ClSetKamoku::ReleaseCursor(SUITECURSOR cursor)
{
    return suite::SuiteCursor::ReleaseAs<KamokuCursor>(cursor);
}
