#include "suite/ClDataMgr.h"

#include "suite/ClSetMgr.h"
#include "suite/ClSysUser.h"

ClDataMgr* ClDataMgr::Inst()
{
    static ClDataMgr mgr;
    return &mgr;
}

ClSetBase* ClDataMgr::GetSetObject(int nKind, int nFlag) { return ClSetMgr::Inst()->GetSetObject(nKind, nFlag); }

ClSysUser* ClDataMgr::GetSysUserObject()
{
    static ClSysUser user;
    return &user;
}

ClSetMgr* ClDataMgr::GetSetMgr() { return ClSetMgr::Inst(); }
