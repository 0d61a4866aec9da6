// The file manager: the suite's folders as Windows paths ending in a
// backslash. The folders need not exist.
#pragma once

#include <string>

#include "suite/SuiteTypes.h"

class ClFileMgr {
public:
    enum {
        FOLDER_OUTPUT = 0,    // default output folder
        FOLDER_SETTINGS = 1,  // settings folder
    };

    static ClFileMgr* Inst();

    // The folder of a type, NUL-terminated, at most 260 bytes, ending with a
    // backslash; valid until the next call. Empty for an unknown type or a
    // configured folder that does not fit.
    LPCSTR GetAppFolderPath(int nType);

    // The folder text for a configured value (code page 932): a backslash is
    // added when the text does not end with one; "" when it is empty or
    // longer than 259 bytes with the backslash.
    static std::string FolderText(const std::string& cp932);

private:
    char m_szPath[MAX_PATH + 1] = {};
};
