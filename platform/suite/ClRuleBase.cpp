#include "suite/ClRuleBase.h"

#include <cstring>

#include "suite/RuleQuery.h"
#include "suite/RuleStatus.h"
#include "suite/SuiteStore.h"

ClRuleBase::~ClRuleBase() = default;

long ClRuleBase::AttachSetMgr(ClSetMgr* pSetMgr)
{
    m_pSetMgr = pSetMgr;
    return pSetMgr ? SUITE_OK : SUITE_ERR_PARAM;
}

long ClRuleBase::SetCurDataID(LPCDATAID pDataID)
{
    if (!pDataID)
        return SUITE_ERR_PARAM;
    std::memcpy(m_DataID, pDataID, sizeof m_DataID);
    m_bHasDataID = true;
    suite::SuiteStore* store = suite::SuiteStore::Current();
    if (!store)
        return SUITE_ERR_NOSTORE;
    long long dataNo = 0;
    return store->FindDataNo(m_DataID, &dataNo);
}

long ClRuleBase::AttachOptLink(ClOptLink* pOptLink)
{
    m_pOptLink = pOptLink;
    return pOptLink ? SUITE_OK : SUITE_ERR_PARAM;
}

long ClRuleBase::QueryScope(suite::SuiteStore** ppStore, long long* pDataNo) const
{
    if (!m_pSetMgr || !m_bHasDataID || !m_pOptLink)
        return RULE_ERR_NOTREADY;
    suite::SuiteStore* store = suite::SuiteStore::Current();
    if (!store)
        return SUITE_ERR_NOSTORE;
    long status = store->FindDataNo(m_DataID, pDataNo);
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
