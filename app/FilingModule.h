// Choice of the consumption-tax filing application's form module for the
// aggregated range, and the rate value (rate x 100) that the tax summation
// receives for it. Only the module names matter; no module is ever started.
#pragma once

struct FilingModuleRow {
    const char* pszModule;  // file name of the form module
    int nRate;              // tax rate x 100
};

extern const FilingModuleRow FilingModuleTable[7];

// Dates are yyyymmdd: the first day of the start month and the last day of
// the end month. nKazeiKubun: 0 exempt, 1 simplified, 2 standard taxation.
const char* SelectFilingModule(long nStartDate, long nEndDate, int nKazeiKubun);

// The rate value of the first table row with this module name; 0 when no
// row has it (or the name is null).
int LookupFilingModuleRate(const char* pszModule);
