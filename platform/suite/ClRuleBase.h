// The base of the rule objects: queries over the journal entries, the account
// summaries and the fixed assets of one dataset. A rule object is set up in
// this order before its first query: AttachSetMgr, SetCurDataID,
// AttachOptLink; a query before that answers RULE_ERR_NOTREADY.
#pragma once

#include <string>
#include <vector>

#include "suite/CurDataId.h"
#include "suite/FindInfo.h"
#include "suite/SuiteTypes.h"

// The table a condition applies to (FindSql.h, internal to the suite).
enum class FindTarget;

class ClSetMgr;
class ClOptLink;
namespace suite { class SuiteStore; }

class ClRuleBase {
public:
    ClRuleBase() = default;
    ClRuleBase(const ClRuleBase&) = delete;
    ClRuleBase& operator=(const ClRuleBase&) = delete;
    virtual ~ClRuleBase();

    virtual long AttachSetMgr(ClSetMgr* pSetMgr);
    // `pDataID` is the address of a dataset record, whose first 16 bytes are
    // the dataset's ID; the ID is copied. SUITE_ERR_NODATA when the store
    // knows no such dataset.
    virtual long SetCurDataID(LPCDATAID pDataID);
    long AttachOptLink(ClOptLink* pOptLink);

protected:
    // The store and the dataset number the queries answer for, or the status
    // that says why there are none.
    long QueryScope(suite::SuiteStore** ppStore, long long* pDataNo) const;

    // The scope of a query over one table, with the rows of the dataset that
    // satisfy a search condition: `where` is "data_no = ? AND (<condition>)"
    // and `params` its values in placeholder order.
    struct Scope {
        suite::SuiteStore* store = nullptr;
        long long dataNo = 0;
        std::string where;
        std::vector<long long> params;
    };
    long QueryScope(const StFINDINFO* pFind, FindTarget target, Scope* pScope) const;

    ClSetMgr* m_pSetMgr = nullptr;
    ClOptLink* m_pOptLink = nullptr;
    CurDataId m_dataID;
};
