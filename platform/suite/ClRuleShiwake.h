// Journal entries of the dataset that satisfy a search condition: counts, the
// checks for entries at given rates or of a business kind, and a streaming
// walk in journal order (date, then entry number) that holds one entry at a
// time, however many the condition selects.
#pragma once

#include <memory>

#include "suite/ClRuleBase.h"
#include "suite/FindInfo.h"
#include "suite/RuleTypes.h"

namespace suite { class Statement; }

// Bits of CheckExistSwkByZeiRate: the rates that entry sides of a rated tax
// code (taxable transactions and imports, TAXCODES.md) carry.
enum : DWORD {
    SWKRATE_3 = 0x1,         // 3 %
    SWKRATE_5 = 0x2,         // 5 %
    SWKRATE_8 = 0x4,         // 8 %, standard
    SWKRATE_8_KEIGEN = 0x8,  // 8 %, reduced
    SWKRATE_10 = 0x40000,    // 10 %
};

// Sides that CheckExistSwkByZeiRate looks at.
enum { SWKSIDE_KARI = 1, SWKSIDE_KASHI = 2, SWKSIDE_BOTH = 3 };

// The walk's cursor type.
enum { SWKCURSOR_FORWARD = 4 };

class ClRuleShiwake : public ClRuleBase {
public:
    ClRuleShiwake();
    ~ClRuleShiwake() override;

    // Both end a walk in progress: it answered for the old set-up.
    long AttachSetMgr(ClSetMgr* pSetMgr) override;
    long SetCurDataID(LPCDATAID pDataID) override;

    // Number of entries that satisfy `pFind` (null: all). The display record
    // is not used by the stand-in.
    long GetSwkCount(const StFINDINFO* pFind, const void* pDisp, int32_t* pCount);

    // Sets in `*pBits` the SWKRATE_ bits of the rates found on the sides
    // `nSides` (SWKSIDE_) of the entries that satisfy `pFind`; bits already
    // set stay set.
    long CheckExistSwkByZeiRate(const StFINDINFO* pFind, DWORD* pBits, int nSides);

    // Number of entries that satisfy `pFind` and have business kind `nKind`
    // (1 to 6) on either side.
    long CheckExistSwkByJigyoBunrui(const StFINDINFO* pFind, int32_t nKind, int32_t* pCount);

    // The walk: MoveReady (condition, no order record, no display record,
    // SWKCURSOR_FORWARD), MoveNext until it answers SUITE_EOD (5000), then
    // MoveFinish. A new MoveReady ends the previous walk.
    long MoveReady(const StFINDINFO* pFind, const void* pOrder, const void* pDisp, int nCursorType);
    long MoveNext(StSWKTINFO* pEntry);
    long MoveFinish();

private:
    std::unique_ptr<suite::Statement> m_pWalk;
    bool m_bWalkEnded = false;
};
