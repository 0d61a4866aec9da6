// The error of a file operation: a cause code, the operating-system error
// (a Windows error code such as ERROR_DISK_FULL) and the file's path.
#pragma once

#include "mfc/CException.h"
#include "mfc/CString.h"

class CFileException : public CException {
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    explicit CFileException(int cause = none, LONG osError = -1, LPCTSTR fileName = nullptr)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

    // Throws a new exception for a Windows error code.
    [[noreturn]] static void ThrowOsError(LONG osError, LPCTSTR fileName = nullptr);
    // The cause code that fits a Windows error code.
    static int OsErrorToException(LONG osError);
    // The Windows error code that fits a host errno value.
    static LONG ErrnoToOsError(int hostErrno);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};
