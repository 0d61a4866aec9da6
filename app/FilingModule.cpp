#include "app/FilingModule.h"

#include <cstring>

const FilingModuleRow FilingModuleTable[7] = {
    {"SZEI-2310.exe", 1000},
    {"SZEI-2004.exe", 1000},
    {"SZEI-1910.exe", 1000},
    {"SZEI-1510.exe", 800},
    {"SZEI-1504.exe", 800},
    {"SZEI-1404.exe", 800},
    {"SZEI-9704.exe", 500},
};

const char* SelectFilingModule(long nStartDate, long nEndDate, int nKazeiKubun)
{
    if (nKazeiKubun == 0)
        return "SZEI-2310.exe";
    if (nEndDate >= 20231001)
        return "SZEI-2310.exe";
    if (nEndDate >= 20200401)
        return "SZEI-2004.exe";
    if (nEndDate >= 20191001)
        return "SZEI-1910.exe";
    if (nKazeiKubun == 1) {
        // Simplified taxation changed with the start of the period.
        if (nStartDate >= 20160101)
            return "SZEI-1510.exe";
        if (nStartDate >= 20150401)
            return "SZEI-1504.exe";
    } else {
        if (nEndDate >= 20151001)
            return "SZEI-1510.exe";
        if (nStartDate >= 20150401)
            return "SZEI-1504.exe";
    }
    if (nEndDate >= 20140401)
        return "SZEI-1404.exe";
    return "SZEI-9704.exe";
}

int LookupFilingModuleRate(const char* pszModule)
{
    if (!pszModule)
        return 0;
    // Multibyte equality is byte equality of the whole text.
    for (const FilingModuleRow& row : FilingModuleTable) {
        if (std::strcmp(row.pszModule, pszModule) == 0)
            return row.nRate;
    }
    return 0;
}
