#include "suite/ClSetData.h"

#include <cstring>
#include <new>

#include "suite/ClAccPeriod.h"
#include "suite/RuleQuery.h"
#include "suite/SuiteStore.h"

namespace {

const char kSelectRecord[] =
    "SELECT data_no, data_id, company_name, period_from, period_to, half_year_closing, "
    "past_data_code, org_kind, income_kinds FROM datasets";

struct DatCursor : suite::SuiteCursor {};

DatCursor* FindDatCursor(SUITECURSOR cursor)
{
    return suite::SuiteCursor::FindAs<DatCursor>(cursor);
}

// Fills a record from a row of kSelectRecord.
void FillRecord(const suite::Statement& st, StDATAINFO* rec)
{
    std::memset(rec, 0, sizeof *rec);
    rec->nSelectNo = static_cast<int32_t>(st.Int(0));
    st.Blob(1, rec->DataID, sizeof rec->DataID);
    RuleQuery::CopyName(rec->szCompanyName, sizeof rec->szCompanyName, st.Text(2));
    rec->lPeriodFrom = static_cast<int32_t>(st.Int(3));
    rec->lPeriodTo = static_cast<int32_t>(st.Int(4));
    rec->nHalfYearClosing = static_cast<int32_t>(st.Int(5));
    rec->sPastDataCode = static_cast<int16_t>(st.Int(6));
    rec->byOrgKind = static_cast<uint8_t>(st.Int(7));
    rec->byIncomeKinds = static_cast<uint8_t>(st.Int(8));
}

}  // namespace

ClSetData::ClSetData() { std::memset(&m_selected, 0, sizeof m_selected); }

ClSetData::~ClSetData() = default;

long ClSetData::ReadDataInfo(long long dataNo, StDATAINFO* pRecord)
{
    if (!pRecord) return SUITE_ERR_PARAM;
    suite::SuiteStore* store = suite::SuiteStore::Current();
    if (!store) return SUITE_ERR_NOSTORE;
    suite::Statement st = store->Prepare(std::string(kSelectRecord) + " WHERE data_no = ?1");
    st.Bind(1, dataNo);
    long rc = st.Step();
    if (rc == SUITE_EOD) return SUITE_ERR_NODATA;
    if (rc != SUITE_OK) return SUITE_ERR_STORE;
    FillRecord(st, pRecord);
    return SUITE_OK;
}

StDATAINFO* ClSetData::GetSelectedInfo()
{
    suite::SuiteStore* store = suite::SuiteStore::Current();
    long long no = 0;
    if (!store || store->SelectedDataNo(&no) != SUITE_OK) return nullptr;
    StDATAINFO rec;
    if (ReadDataInfo(no, &rec) != SUITE_OK) return nullptr;
    m_selected = rec;
    return &m_selected;
}

long ClSetData::GetDatCursor(SUITECURSOR* pCursor)
{
    return suite::SuiteCursor::Open<DatCursor>(pCursor);
}

long ClSetData::ReadyDat(SUITECURSOR cursor, int nMode)
{
    DatCursor* c = FindDatCursor(cursor);
    if (!c) return SUITE_ERR_CURSOR;
    if (nMode != 0) return SUITE_ERR_PARAM;
    suite::SuiteStore* store = suite::SuiteStore::Current();
    if (!store) return SUITE_ERR_NOSTORE;
    c->stmt = store->Prepare(std::string(kSelectRecord) + " ORDER BY data_no");
    c->ready = c->stmt.Valid();
    return c->ready ? SUITE_OK : SUITE_ERR_STORE;
}

long ClSetData::WalkDat(StDATAINFO* pRecord, SUITECURSOR cursor)
{
    DatCursor* c = FindDatCursor(cursor);
    if (!c || !c->ready) return SUITE_ERR_CURSOR;
    if (!pRecord) return SUITE_ERR_PARAM;
    long rc = c->stmt.Step();
    if (rc != SUITE_OK) {
        c->ready = false;  // the walk is over; ReadyDat starts a new one
        return rc;
    }
    FillRecord(c->stmt, pRecord);
    return SUITE_OK;
}

long ClSetData::ReleaseDatCursor(SUITECURSOR cursor)
{
    return suite::SuiteCursor::ReleaseAs<DatCursor>(cursor);
}

long ClSetData::GetAccPeriod(ClAccPeriod** ppPeriod)
{
    if (!ppPeriod) return SUITE_ERR_PARAM;
    *ppPeriod = nullptr;
    long long no = 0;
    long rc = CurDataNo(&no);
    if (rc != SUITE_OK) return rc;
    suite::Statement st =
        suite::SuiteStore::Current()->Prepare("SELECT period_from, period_to, closing_day FROM datasets WHERE data_no = ?1");
    st.Bind(1, no);
    rc = st.Step();
    if (rc == SUITE_EOD) return SUITE_ERR_NODATA;
    if (rc != SUITE_OK) return SUITE_ERR_STORE;
    auto* period = new (std::nothrow) ClAccPeriod();
    if (!period) return SUITE_ERR_NOMEMORY;
    rc = period->SetPeriod(static_cast<long>(st.Int(0)), static_cast<long>(st.Int(1)));
    if (rc == SUITE_OK) rc = period->SetClosingDay(static_cast<long>(st.Int(2)));
    if (rc != SUITE_OK) {
        delete period;
        return rc;
    }
    *ppPeriod = period;
    return SUITE_OK;
}
