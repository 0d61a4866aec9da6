#include "suite/ClSetBase.h"

ClSetBase::~ClSetBase() = default;

long ClSetBase::AttachSetMgr(ClSetMgr* pSetMgr)
{
    return AttachTo(m_pSetMgr, pSetMgr);
}

long ClSetBase::SetCurDataID(LPCDATAID pDataID)
{
    long status = m_dataID.Set(pDataID);
    if (status != SUITE_OK) return status;
    long long no = 0;
    return CurDataNo(&no);
}

void ClSetBase::ClearCurDataID()
{
    m_dataID.Clear();
}

long ClSetBase::CurDataNo(long long* pDataNo, const suite::StoreVersion* known) const
{
    return m_dataID.ResolveDataNo(pDataNo, known);
}
