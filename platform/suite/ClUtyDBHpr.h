// Helpers around the suite's data: the text form of a dataset ID.
#pragma once

#include "suite/SuiteTypes.h"

class ClUtyDBHpr {
public:
    static ClUtyDBHpr* Inst();

    // The ID text of a dataset: "{" + the 16 ID bytes (the record's first 16
    // bytes) as 32 upper-case hexadecimal digits + "}", 34 characters and a
    // NUL in the 35-byte area. A null record gives the empty text and
    // SUITE_ERR_PARAM.
    long MakeIDStr(LPCVOID pDataInfo, LPSTR pszIDStr);
};
