// Fixed assets of the dataset whose acquisition date satisfies a condition,
// in date order, read by index. Reading the indexes in order steps one live
// statement; a jump re-positions it, so no asset list is held in memory.
#pragma once

#include <memory>
#include <vector>

#include "suite/ClRuleBase.h"
#include "suite/FindInfo.h"
#include "suite/RuleTypes.h"

namespace suite { class Statement; }

class ClRuleGenkashokyaku : public ClRuleBase {
public:
    ClRuleGenkashokyaku();
    ~ClRuleGenkashokyaku() override;

    // Ends a walk in progress, which answered for the old set-up.
    long AttachSetMgr(ClSetMgr* pSetMgr) override;

    // Condition on the acquisition date (field code 203); sort type and sum
    // type 0 (date order, no depreciation sums) are the stand-in's only ones.
    long MoveReady(const StFINDINFO* pFind, int nSortType, int nSumType);
    long GetCount(int32_t* pCount);
    // The asset at `nIndex` (0 the first); SUITE_EOD past the last. The year
    // and month records are filled alongside (either may be null).
    long Move(int32_t nIndex, StKOTEISHISANINFO* pAsset, StKOTEINENINFO* pYear, StKOTEITSUKIINFO* pMonth);
    long MoveFinish();

private:
    long Position(int32_t nIndex);

    std::unique_ptr<suite::Statement> m_pWalk;
    std::vector<long long> m_params;  // the walk's values, the offset last
    int32_t m_count = 0;
    int32_t m_next = 0;  // index of the row the next Step of m_pWalk gives
    bool m_bReady = false;
};
