// The department set (set kind 2): the dataset's departments, in code order.
#pragma once

#include <memory>

#include "suite/ClSetBase.h"
#include "suite/RuleTypes.h"

class ClSetBumon : public ClSetBase {
public:
    ClSetBumon();
    ~ClSetBumon() override;

    // Number of departments; `nKind` 0 counts every department (the only
    // kind argument the stand-in knows).
    long GetBmnCount(int32_t* pCount, int nKind);

    // GetCursor, ReadyCursor, Walk until it answers SUITE_EOD, ReleaseCursor.
    long GetCursor(SUITECURSOR* pCursor);
    long ReadyCursor(SUITECURSOR cursor);
    long Walk(StBUMONINFO* pBumon, SUITECURSOR cursor);
    long ReleaseCursor(SUITECURSOR cursor);

    // The department of a code. SUITE_ERR_NODATA when there is none; the
    // record is then all zero (kind 0, category 0).
    long GetInfoByCode(int32_t lCode, StBUMONINFO* pBumon);

private:
    struct Kept;
    std::unique_ptr<Kept> m_pKept;  // the departments read last
};
