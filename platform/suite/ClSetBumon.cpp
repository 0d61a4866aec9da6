#include "suite/ClSetBumon.h"

#include <cstring>
#include <memory>

#include "suite/RuleQuery.h"
#include "suite/SuiteStore.h"

namespace {

const char* const kSelect = "SELECT code, name, kind, link, category FROM departments WHERE data_no = ?";

struct BumonCursor : suite::SuiteCursor {};

BumonCursor* FindBumonCursor(SUITECURSOR handle)
{
    return dynamic_cast<BumonCursor*>(suite::SuiteCursor::Find(handle));
}

void Fill(const suite::Statement& stmt, StBUMONINFO* pBumon)
{
    std::memset(pBumon, 0, sizeof *pBumon);
    pBumon->lBumonCode = static_cast<int32_t>(stmt.Int(0));
    RuleQuery::CopyName(pBumon->szName, sizeof pBumon->szName, stmt.Text(1));
    pBumon->byKind = static_cast<uint8_t>(stmt.Int(2));
    pBumon->lLink = static_cast<int32_t>(stmt.Int(3));
    pBumon->byCategory = static_cast<uint8_t>(stmt.Int(4));
}

} // namespace

long ClSetBumon::GetBmnCount(int32_t* pCount, int nKind)
{
    if (!pCount || nKind != 0)
        return SUITE_ERR_PARAM;
    long long dataNo = 0;
    long status = CurDataNo(&dataNo);
    if (status != SUITE_OK)
        return status;
    long long count = 0;
    status = RuleQuery::QueryInt(suite::SuiteStore::Current(), "SELECT COUNT(*) FROM departments WHERE data_no = ?",
                                 {dataNo}, &count);
    if (status == SUITE_OK)
        *pCount = static_cast<int32_t>(count);
    return status;
}

long ClSetBumon::GetCursor(SUITECURSOR* pCursor)
{
    if (!pCursor)
        return SUITE_ERR_PARAM;
    *pCursor = nullptr;
    if (!suite::SuiteStore::Current())
        return SUITE_ERR_NOSTORE;
    *pCursor = suite::SuiteCursor::Register(std::make_unique<BumonCursor>());
    return SUITE_OK;
}

long ClSetBumon::ReadyCursor(SUITECURSOR cursor)
{
    BumonCursor* c = FindBumonCursor(cursor);
    if (!c)
        return SUITE_ERR_CURSOR;
    long long dataNo = 0;
    long status = CurDataNo(&dataNo);
    if (status != SUITE_OK)
        return status;
    c->stmt = RuleQuery::Prepare(suite::SuiteStore::Current(), std::string(kSelect) + " ORDER BY code", {dataNo},
                                 &status);
    c->ready = status == SUITE_OK;
    return status;
}

long ClSetBumon::Walk(StBUMONINFO* pBumon, SUITECURSOR cursor)
{
    BumonCursor* c = FindBumonCursor(cursor);
    if (!c || !c->ready)
        return SUITE_ERR_CURSOR;
    if (!pBumon)
        return SUITE_ERR_PARAM;
    long status = c->stmt.Step();
    if (status != SUITE_OK) {
        c->ready = false;
        return status;
    }
    Fill(c->stmt, pBumon);
    return SUITE_OK;
}

long ClSetBumon::ReleaseCursor(SUITECURSOR cursor)
{
    if (!FindBumonCursor(cursor))
        return SUITE_ERR_CURSOR;
    suite::SuiteCursor::Release(cursor);
    return SUITE_OK;
}

long ClSetBumon::GetInfoByCode(int32_t lCode, StBUMONINFO* pBumon)
{
    if (!pBumon)
        return SUITE_ERR_PARAM;
    std::memset(pBumon, 0, sizeof *pBumon);
    long long dataNo = 0;
    long status = CurDataNo(&dataNo);
    if (status != SUITE_OK)
        return status;
    suite::Statement stmt = RuleQuery::Prepare(suite::SuiteStore::Current(), std::string(kSelect) + " AND code = ?",
                                               {dataNo, lCode}, &status);
    if (status != SUITE_OK)
        return status;
    status = stmt.Step();
    if (status == SUITE_EOD)
        return SUITE_ERR_NODATA;
    if (status != SUITE_OK)
        return status;
    Fill(stmt, pBumon);
    return SUITE_OK;
}
