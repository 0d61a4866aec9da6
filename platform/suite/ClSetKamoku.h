// The account set (set kind 1): walks over the dataset's accounts, in
// account-code order, that satisfy a search condition on the attribute code.
#pragma once

#include "suite/ClSetBase.h"
#include "suite/FindInfo.h"
#include "suite/RuleTypes.h"

class ClSetKamoku : public ClSetBase {
public:
    // GetCursor, ReadyCursor, WalkFind until it answers SUITE_EOD,
    // ReleaseCursor. The condition of the first WalkFind after ReadyCursor
    // selects the accounts of the whole walk (null: all accounts).
    long GetCursor(SUITECURSOR* pCursor);
    long ReadyCursor(SUITECURSOR cursor);
    long WalkFind(const StFINDINFO* pFind, StKAMOKUINFO* pKamoku, SUITECURSOR cursor);
    long ReleaseCursor(SUITECURSOR cursor);
};
