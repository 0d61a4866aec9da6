#include "suite/ClSaveBase.h"

#include <cstring>

#include "suite/SuiteStore.h"

ClSaveBase::ClSaveBase() = default;
ClSaveBase::~ClSaveBase() = default;

long ClSaveBase::AttachSetMgr(ClSetMgr* pSetMgr)
{
    m_pSetMgr = pSetMgr;
    return pSetMgr ? SUITE_OK : SUITE_ERR_PARAM;
}

long ClSaveBase::SetCurDataID(LPCDATAID pDataID)
{
    if (!pDataID) return SUITE_ERR_PARAM;
    std::memcpy(m_DataID, pDataID, sizeof m_DataID);
    m_bHasDataID = true;
    long long no = 0;
    return CurDataNo(&no);
}

long ClSaveBase::AttachOptLink(ClOptLink* pOptLink)
{
    m_pOptLink = pOptLink;
    return pOptLink ? SUITE_OK : SUITE_ERR_PARAM;
}

long ClSaveBase::CurDataNo(long long* pDataNo) const
{
    suite::SuiteStore* store = suite::SuiteStore::Current();
    if (!store) return SUITE_ERR_NOSTORE;
    return store->ResolveDataNo(m_bHasDataID ? m_DataID : nullptr, pDataNo);
}
