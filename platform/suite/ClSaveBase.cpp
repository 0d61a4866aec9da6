#include "suite/ClSaveBase.h"

ClSaveBase::ClSaveBase() = default;
ClSaveBase::~ClSaveBase() = default;

long ClSaveBase::AttachSetMgr(ClSetMgr* pSetMgr)
{
    return AttachTo(m_pSetMgr, pSetMgr);
}

long ClSaveBase::SetCurDataID(LPCDATAID pDataID)
{
    long status = m_dataID.Set(pDataID);
    if (status != SUITE_OK) return status;
    long long no = 0;
    return CurDataNo(&no);
}

long ClSaveBase::AttachOptLink(ClOptLink* pOptLink)
{
    return AttachTo(m_pOptLink, pOptLink);
}

long ClSaveBase::CurDataNo(long long* pDataNo) const
{
    return m_dataID.ResolveDataNo(pDataNo);
}
