#include "suite/ClSetBumon.h"

#include <cstring>
#include <memory>
#include <unordered_map>

#include "suite/RuleQuery.h"
#include "suite/SuiteStore.h"

namespace {

const char* const kSelect = "SELECT code, name, kind, link, category FROM departments WHERE data_no = ?";

struct BumonCursor : suite::SuiteCursor {
    long long dataNo = 0;
    bool started = false;  // the walk's statement has been prepared
};

BumonCursor* FindBumonCursor(SUITECURSOR handle)
{
    return suite::SuiteCursor::FindAs<BumonCursor>(handle);
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

// The dataset's departments by code, as of `version`.
struct ClSetBumon::Kept {
    std::unordered_map<int32_t, StBUMONINFO> byCode;
    suite::StoreVersion version;
    long long dataNo = 0;

    long Find(int32_t lCode, StBUMONINFO* pBumon) const
    {
        auto it = byCode.find(lCode);
        if (it == byCode.end())
            return SUITE_ERR_NODATA;
        *pBumon = it->second;
        return SUITE_OK;
    }
};

ClSetBumon::ClSetBumon() = default;

ClSetBumon::~ClSetBumon() = default;

long ClSetBumon::GetBmnCount(int32_t* pCount, int nKind)
{
    if (!pCount || nKind != 0)
        return SUITE_ERR_PARAM;
    long long dataNo = 0;
    long status = CurDataNo(&dataNo);
    if (status != SUITE_OK)
        return status;
    return RuleQuery::QueryCount(suite::SuiteStore::Current(), "SELECT COUNT(*) FROM departments WHERE data_no = ?",
                                 {dataNo}, pCount);
}

long ClSetBumon::GetCursor(SUITECURSOR* pCursor)
{
    return suite::SuiteCursor::Open<BumonCursor>(pCursor);
}

// Readying is cheap (callers ready the cursor before every look-up by code):
// the walk's query is prepared by the first Walk.
long ClSetBumon::ReadyCursor(SUITECURSOR cursor)
{
    BumonCursor* c = FindBumonCursor(cursor);
    if (!c)
        return SUITE_ERR_CURSOR;
    c->stmt = suite::Statement();
    c->started = false;
    c->ready = false;
    long status = CurDataNo(&c->dataNo);
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
    long status;
    if (!c->started) {
        c->stmt = RuleQuery::Prepare(suite::SuiteStore::Current(), std::string(kSelect) + " ORDER BY code",
                                     {c->dataNo}, &status);
        if (status != SUITE_OK) {
            c->ready = false;
            return status;
        }
        c->started = true;
    }
    status = c->stmt.Step();
    if (status != SUITE_OK) {
        c->ready = false;
        return status;
    }
    Fill(c->stmt, pBumon);
    return SUITE_OK;
}

long ClSetBumon::ReleaseCursor(SUITECURSOR cursor)
{
    return suite::SuiteCursor::ReleaseAs<BumonCursor>(cursor);
}

// The departments are few and looked up once per journal side: the dataset's
// are read once and kept while the store is unchanged.
long ClSetBumon::GetInfoByCode(int32_t lCode, StBUMONINFO* pBumon)
{
    if (!pBumon)
        return SUITE_ERR_PARAM;
    std::memset(pBumon, 0, sizeof *pBumon);
    suite::SuiteStore* store = suite::SuiteStore::Current();
    if (!store)
        return SUITE_ERR_NOSTORE;
    suite::StoreVersion now;
    const bool versioned = store->Version(&now);
    long long dataNo = 0;
    long status = CurDataNo(&dataNo, versioned ? &now : nullptr);
    if (status != SUITE_OK)
        return status;
    if (!versioned || !m_pKept || now != m_pKept->version || dataNo != m_pKept->dataNo) {
        m_pKept.reset();
        suite::Statement stmt = RuleQuery::Prepare(store, kSelect, {dataNo}, &status);
        if (status != SUITE_OK)
            return status;
        auto kept = std::make_unique<Kept>();
        StBUMONINFO one;
        while ((status = stmt.Step()) == SUITE_OK) {
            Fill(stmt, &one);
            kept->byCode.emplace(one.lBumonCode, one);
        }
        if (status != SUITE_EOD)
            return status;
        kept->version = now;
        kept->dataNo = dataNo;
        if (!versioned) {
            // Nothing may be kept: answer from what was just read.
            return kept->Find(lCode, pBumon);
        }
        m_pKept = std::move(kept);
    }
    return m_pKept->Find(lCode, pBumon);
}
