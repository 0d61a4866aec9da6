#include "suite/ClSetBase.h"

#include <cstring>

#include "suite/SuiteStore.h"

ClSetBase::~ClSetBase() = default;

long ClSetBase::AttachSetMgr(ClSetMgr* pSetMgr)
{
    m_pSetMgr = pSetMgr;
    return pSetMgr ? SUITE_OK : SUITE_ERR_PARAM;
}

long ClSetBase::SetCurDataID(LPCDATAID pDataID)
{
    if (!pDataID) return SUITE_ERR_PARAM;
    std::memcpy(m_DataID, pDataID, sizeof m_DataID);
    m_bHasDataID = true;
    long long no = 0;
    return CurDataNo(&no);
}

void ClSetBase::ClearCurDataID()
{
    m_bHasDataID = false;
    std::memset(m_DataID, 0, sizeof m_DataID);
}

long ClSetBase::CurDataNo(long long* pDataNo, const suite::StoreVersion* known) const
{
    suite::SuiteStore* store = suite::SuiteStore::Current();
    if (!store) return SUITE_ERR_NOSTORE;
    return store->ResolveDataNo(m_bHasDataID ? m_DataID : nullptr, pDataNo, known);
}
