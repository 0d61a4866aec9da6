// The framework's unbuffered binary file. Paths are Windows paths (code page
// 932), mapped to host paths through the drive map. Every error of a read or
// write is thrown as a `CFileException*`; Open reports its
// failure through its result and the optional exception object instead.
//
// Sharing modes are kept between openers (in this and other processes) with
// advisory whole-file locks: shareExclusive (and shareCompat, the same),
// shareDenyRead and shareDenyWrite-with-write-access take an exclusive lock,
// the others a shared one, so an exclusive opener and any other opener of the
// same file refuse each other with sharingViolation.
//
// A file opened for writing that the host refuses (on opening, writing or
// closing) is also told on standard error, as one line with the host path and
// the host's reason: the Windows error code keeps too little of it.
#pragma once

#include "mfc/CFileException.h"
#include "mfc/CString.h"
#include "win32/WinTypes.h"

#include <string>

// What GetStatus reports about a file or folder.
struct CFileStatus {
    ULONGLONG m_size = 0;          // bytes; 0 for a folder
    BYTE m_attribute = 0;          // FILE_ATTRIBUTE_* bits: 0x01 read-only, 0x10 directory
    char m_szFullName[_MAX_PATH] = {};  // the full Windows path
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,  // accepted; the file is read and written as bytes all the same
        typeBinary = 0x8000,
    };

    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    // Closes an open file without reporting errors.
    virtual ~CFile();

    // TRUE when opened. On failure FALSE, and `error` (when given) holds the
    // cause, the Windows error code and the path.
    virtual BOOL Open(LPCTSTR fileName, UINT openFlags, CFileException* error = nullptr);
    // Reads up to `count` bytes; fewer only at the end of the file.
    virtual UINT Read(void* buffer, UINT count);
    // Writes all `count` bytes; anything less is thrown as an error (diskFull
    // for a full disk, a write past the host's file-size limit or one that
    // makes no progress; invalidFile when the file is not open). The limit's
    // signal never ends the process (win32/HostWrite.h), so no preparation
    // of the process is needed.
    virtual void Write(const void* buffer, UINT count);
    // Closes the file; a closed file stays closed. Throws when the host reports
    // an error on closing (the file is closed all the same).
    virtual void Close();
    // Closes without reporting any error.
    virtual void Abort();

    bool IsOpen() const { return m_fd >= 0; }

    // Reports any entry at the path (also one Open refuses, such as a FIFO,
    // so that the user is asked before it would be replaced).
    static BOOL GetStatus(LPCTSTR fileName, CFileStatus& status);

private:
    [[noreturn]] void ThrowErrno(int hostErrno) const;
    void CheckOpen() const;

    int m_fd = -1;
    CString m_strFileName;
    std::string m_hostPath;  // of the open file, for the host's reasons on standard error
};
