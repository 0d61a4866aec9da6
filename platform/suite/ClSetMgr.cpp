#include "suite/ClSetMgr.h"

#include "suite/ClSetBumon.h"
#include "suite/ClSetData.h"
#include "suite/ClSetKamoku.h"
#include "suite/ClSetShohizei.h"

ClSetMgr* ClSetMgr::Inst()
{
    static ClSetMgr mgr;
    return &mgr;
}

std::unique_ptr<ClSetBase> ClSetMgr::MakeSet(int nKind)
{
    switch (nKind) {
    case SETKIND_KAMOKU: return std::make_unique<ClSetKamoku>();
    case SETKIND_BUMON: return std::make_unique<ClSetBumon>();
    case SETKIND_SHOHIZEI: return std::make_unique<ClSetShohizei>();
    case SETKIND_DATA: return std::make_unique<ClSetData>();
    default: return nullptr;
    }
}

void ClSetMgr::ClearCurData()
{
    for (auto& entry : m_sets) entry.second->ClearCurDataID();
}

ClSetBase* ClSetMgr::GetSetObject(int nKind, int nFlag)
{
    (void)nFlag;
    auto it = m_sets.find(nKind);
    if (it != m_sets.end()) return it->second.get();
    std::unique_ptr<ClSetBase> set = MakeSet(nKind);
    if (!set) return nullptr;
    ClSetBase* raw = set.get();
    raw->AttachSetMgr(this);
    m_sets.emplace(nKind, std::move(set));
    return raw;
}
