// The set of consumption-tax settings of the set's dataset.
#pragma once

#include "suite/ClSetBase.h"
#include "suite/SuiteRecords.h"

class ClSetShohizei : public ClSetBase {
public:
    ClSetShohizei();
    ~ClSetShohizei() override;

    // Fills the 20-byte settings record (bytes without a meaning zero).
    // SUITE_ERR_NODATA when the dataset has no settings; the record is then
    // untouched.
    long Get(StSHOHIZEIINFO* pInfo);
    // The number of tax rates of the settings; 0 when they cannot be read.
    int GetTaxRateCount();
};
