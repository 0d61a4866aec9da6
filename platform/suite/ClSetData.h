// The set of datasets: the selected dataset's record, a walk over all
// dataset records, and the accounting period of the set's dataset.
#pragma once

#include "suite/ClSetBase.h"
#include "suite/SuiteRecords.h"

class ClAccPeriod;

class ClSetData : public ClSetBase {
public:
    ClSetData();
    ~ClSetData() override;

    // The record of the current user's selected dataset, read afresh at each
    // call into a record that the set keeps; null when nothing is selected or
    // the store cannot be read.
    StDATAINFO* GetSelectedInfo();

    // A walk over every dataset record in the order of the selection numbers:
    // GetDatCursor, ReadyDat (mode 0), WalkDat until it returns SUITE_EOD,
    // ReleaseDatCursor. WalkDat fills the whole 1,506-byte record.
    long GetDatCursor(SUITECURSOR* pCursor);
    long ReadyDat(SUITECURSOR cursor, int nMode);
    long WalkDat(StDATAINFO* pRecord, SUITECURSOR cursor);
    long ReleaseDatCursor(SUITECURSOR cursor);

    // A new period calculator for the set's dataset (its fiscal period and
    // closing day), owned by the caller; *ppPeriod is null on an error.
    long GetAccPeriod(ClAccPeriod** ppPeriod);

    // Reads the record of one dataset (by its number) from the store.
    static long ReadDataInfo(long long dataNo, StDATAINFO* pRecord);

private:
    StDATAINFO m_selected;
};
