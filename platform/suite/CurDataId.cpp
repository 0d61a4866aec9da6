#include "suite/CurDataId.h"

#include <cstring>

#include "suite/SuiteStore.h"

long CurDataId::Set(LPCDATAID pDataID)
{
    if (!pDataID)
        return SUITE_ERR_PARAM;
    std::memcpy(m_id, pDataID, sizeof m_id);
    m_bSet = true;
    return SUITE_OK;
}

void CurDataId::Clear()
{
    m_bSet = false;
    std::memset(m_id, 0, sizeof m_id);
}

long CurDataId::ResolveDataNo(long long* pDataNo, const suite::StoreVersion* known) const
{
    suite::SuiteStore* store = suite::SuiteStore::Current();
    if (!store)
        return SUITE_ERR_NOSTORE;
    return store->ResolveDataNo(Get(), pDataNo, known);
}
