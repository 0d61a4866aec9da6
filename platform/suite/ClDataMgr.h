// The data manager: the process-wide entry to the set objects, the set
// manager and the current user. Nothing it hands out is owned by the caller.
#pragma once

#include "suite/ClSetBase.h"

class ClSetMgr;
class ClSysUser;

class ClDataMgr {
public:
    static ClDataMgr* Inst();

    // The set object of a kind (see ClSetMgr: 1 accounts, 4 consumption-tax
    // settings ClSetShohizei, 5 datasets ClSetData); null for another kind.
    ClSetBase* GetSetObject(int nKind, int nFlag);
    ClSysUser* GetSysUserObject();
    ClSetMgr* GetSetMgr();
};
