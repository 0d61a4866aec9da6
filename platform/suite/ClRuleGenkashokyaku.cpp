#include "suite/ClRuleGenkashokyaku.h"

#include <cstring>
#include <string>
#include <vector>

#include "suite/RuleQuery.h"
#include "suite/RuleStatus.h"
#include "suite/SuiteStore.h"

namespace {

const char* const kAssetSelect =
    "SELECT code, acq_date, name, asset_class, amount, income_class FROM fixed_assets WHERE ";
const char* const kAssetOrder = " ORDER BY acq_date, asset_no LIMIT -1 OFFSET ?";

} // namespace

ClRuleGenkashokyaku::ClRuleGenkashokyaku() = default;

ClRuleGenkashokyaku::~ClRuleGenkashokyaku() = default;

long ClRuleGenkashokyaku::AttachSetMgr(ClSetMgr* pSetMgr)
{
    MoveFinish();
    return ClRuleBase::AttachSetMgr(pSetMgr);
}

long ClRuleGenkashokyaku::MoveReady(const StFINDINFO* pFind, int nSortType, int nSumType)
{
    MoveFinish();
    if (nSortType != 0 || nSumType != 0)
        return SUITE_ERR_PARAM;
    Scope q;
    long status = QueryScope(pFind, FindTarget::Asset, &q);
    if (status != SUITE_OK)
        return status;
    long long count = 0;
    status = RuleQuery::QueryInt(q.store, "SELECT COUNT(*) FROM fixed_assets WHERE " + q.where, q.params, &count);
    if (status != SUITE_OK)
        return status;
    q.params.push_back(0);  // the offset
    suite::Statement stmt = RuleQuery::Prepare(q.store, kAssetSelect + q.where + kAssetOrder, q.params, &status);
    if (status != SUITE_OK)
        return status;
    m_pWalk = std::make_unique<suite::Statement>(std::move(stmt));
    m_params = std::move(q.params);
    m_count = static_cast<int32_t>(count);
    m_next = 0;
    m_bReady = true;
    return SUITE_OK;
}

long ClRuleGenkashokyaku::GetCount(int32_t* pCount)
{
    if (!pCount)
        return SUITE_ERR_PARAM;
    if (!m_bReady)
        return RULE_ERR_NOTREADY;
    *pCount = m_count;
    return SUITE_OK;
}

long ClRuleGenkashokyaku::Position(int32_t nIndex)
{
    if (nIndex == m_next)
        return SUITE_OK;
    // A jump runs the query again from the wanted row: the offset is the
    // statement's last value.
    m_pWalk->Reset();
    m_params.back() = nIndex;
    for (size_t i = 0; i < m_params.size(); ++i)
        m_pWalk->Bind(static_cast<int>(i + 1), m_params[i]);
    m_next = nIndex;
    return SUITE_OK;
}

long ClRuleGenkashokyaku::Move(int32_t nIndex, StKOTEISHISANINFO* pAsset, StKOTEINENINFO* pYear,
                               StKOTEITSUKIINFO* pMonth)
{
    if (!pAsset)
        return SUITE_ERR_PARAM;
    if (!m_bReady)
        return RULE_ERR_NOTREADY;
    if (nIndex < 0)
        return SUITE_ERR_PARAM;
    if (nIndex >= m_count)
        return SUITE_EOD;
    long status = Position(nIndex);
    if (status != SUITE_OK)
        return status;
    status = m_pWalk->Step();
    if (status != SUITE_OK)
        return status;
    ++m_next;
    std::memset(pAsset, 0, sizeof *pAsset);
    pAsset->lShisanCode = static_cast<int32_t>(m_pWalk->Int(0));
    pAsset->lShutokuDate = static_cast<int32_t>(m_pWalk->Int(1));
    RuleQuery::CopyName(pAsset->szName, sizeof pAsset->szName, m_pWalk->Text(2));
    pAsset->lShisanKubun = static_cast<int32_t>(m_pWalk->Int(3));
    pAsset->llShutokuKingaku = m_pWalk->Int(4);
    pAsset->nShotokuKubun = static_cast<int16_t>(m_pWalk->Int(5));
    if (pYear) {
        std::memset(pYear, 0, sizeof *pYear);
        pYear->lShisanCode = pAsset->lShisanCode;
        pYear->lShutokuDate = pAsset->lShutokuDate;
        pYear->llShutokuKingaku = pAsset->llShutokuKingaku;
    }
    if (pMonth) {
        std::memset(pMonth, 0, sizeof *pMonth);
        pMonth->lShisanCode = pAsset->lShisanCode;
        pMonth->lShutokuDate = pAsset->lShutokuDate;
        pMonth->llShutokuKingaku = pAsset->llShutokuKingaku;
    }
    return SUITE_OK;
}

long ClRuleGenkashokyaku::MoveFinish()
{
    m_pWalk.reset();
    m_params.clear();
    m_count = 0;
    m_next = 0;
    m_bReady = false;
    return SUITE_OK;
}
