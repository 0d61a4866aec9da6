// The current user of the suite and what that user has selected.
#pragma once

#include "suite/SuiteTypes.h"

class ClSysUser {
public:
    ClSysUser();
    virtual ~ClSysUser();

    // The current user's ID as NUL-terminated text in 65 bytes (at most 64
    // characters); empty with SUITE_ERR_NOUSER when there is no current user.
    long GetCurUserID(LPSTR pszUserID);
    // The selection of the user `pszUserID`: the user's own selection number
    // and the selection number of the dataset worked on (0 when none).
    // SUITE_ERR_NOUSER, outputs untouched, when that user is not the current
    // user.
    long GetSelectedNo(LPCSTR pszUserID, long* pSelectedNo, long* pDataNo);
};
