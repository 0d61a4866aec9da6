#include "suite/ClRuleBase.h"

#include "suite/RuleQuery.h"
#include "suite/RuleStatus.h"
#include "suite/SuiteStore.h"

ClRuleBase::~ClRuleBase() = default;

long ClRuleBase::AttachSetMgr(ClSetMgr* pSetMgr)
{
    return AttachTo(m_pSetMgr, pSetMgr);
}

long ClRuleBase::SetCurDataID(LPCDATAID pDataID)
{
    long status = m_dataID.Set(pDataID);
    if (status != SUITE_OK)
        return status;
    suite::SuiteStore* store = suite::SuiteStore::Current();
    if (!store)
        return SUITE_ERR_NOSTORE;
    long long dataNo = 0;
    return store->FindDataNo(m_dataID.Get(), &dataNo);
}

long ClRuleBase::AttachOptLink(ClOptLink* pOptLink)
{
    return AttachTo(m_pOptLink, pOptLink);
}

long ClRuleBase::QueryScope(suite::SuiteStore** ppStore, long long* pDataNo) const
{
    if (!m_pSetMgr || !m_dataID.IsSet() || !m_pOptLink)
        return RULE_ERR_NOTREADY;
    suite::SuiteStore* store = suite::SuiteStore::Current();
    if (!store)
        return SUITE_ERR_NOSTORE;
    long status = store->FindDataNo(m_dataID.Get(), pDataNo);
    if (status != SUITE_OK)
        return status;
    *ppStore = store;
    return SUITE_OK;
}

long ClRuleBase::QueryScope(const StFINDINFO* pFind, FindTarget target, Scope* pScope) const
{
    long status = QueryScope(&pScope->store, &pScope->dataNo);
    if (status != SUITE_OK)
        return status;
    return RuleQuery::Filter(pFind, target, pScope->dataNo, pScope->where, pScope->params);
}
