// The set manager: hands out the process-wide set object of each kind. The
// objects belong to the manager and live for the process.
#pragma once

#include <map>
#include <memory>

#include "suite/ClSetBase.h"

class ClSetMgr {
public:
    // Set kinds.
    enum {
        SETKIND_KAMOKU = 1,    // accounts
        SETKIND_BUMON = 2,     // departments
        SETKIND_SHOHIZEI = 4,  // consumption-tax settings (ClSetShohizei)
        SETKIND_DATA = 5,      // datasets (ClSetData)
    };

    static ClSetMgr* Inst();

    // The set object of a kind (`nFlag` 1: the shared object; every flag
    // gives the shared object). Null for a kind without a set.
    ClSetBase* GetSetObject(int nKind, int nFlag);

    // Clears every set's current dataset (the connection ends); the objects
    // themselves stay valid.
    void ClearCurData();

private:
    static std::unique_ptr<ClSetBase> MakeSet(int nKind);
    std::map<int, std::unique_ptr<ClSetBase>> m_sets;
};
