#include "mfc/CFileException.h"

#include "win32/Kernel.h"

#include <cerrno>

namespace {

// Windows error codes the file class reports besides those of WinTypes.h and Kernel.h.
constexpr LONG kTooManyOpenFiles = 4;
constexpr LONG kSeek = 25;
constexpr LONG kWriteFault = 29;
constexpr LONG kReadFault = 30;
constexpr LONG kGenFailure = 31;
constexpr LONG kLockViolation = 33;
constexpr LONG kHandleEof = 38;
constexpr LONG kHandleDiskFull = 39;
constexpr LONG kNegativeSeek = 131;

}  // namespace

int CFileException::OsErrorToException(LONG osError)
{
    switch (osError) {
    case ERROR_SUCCESS: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_FILENAME_EXCED_RANGE: return badPath;
    case kTooManyOpenFiles: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_DIR_NOT_EMPTY: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case kSeek:
    case kNegativeSeek: return badSeek;
    case kWriteFault:
    case kReadFault:
    case kGenFailure: return hardIO;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case kLockViolation: return lockViolation;
    case ERROR_DISK_FULL:
    case kHandleDiskFull: return diskFull;
    case kHandleEof: return endOfFile;
    default: return genericException;
    }
}

LONG CFileException::ErrnoToOsError(int hostErrno)
{
    // The kernel functions' mapping, with the errors only files meet.
    switch (hostErrno) {
    case EMFILE:
    case ENFILE: return kTooManyOpenFiles;
    case ETXTBSY: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ESPIPE:
    case EOVERFLOW: return kSeek;
    case EIO: return kGenFailure;
    case EWOULDBLOCK: return ERROR_SHARING_VIOLATION;
    case EFBIG: return ERROR_DISK_FULL;
    case EINVAL: return kNegativeSeek;
    default: return static_cast<LONG>(Win32ErrorFromErrno(hostErrno));
    }
}

void CFileException::ThrowOsError(LONG osError, LPCTSTR fileName)
{
    if (osError == ERROR_SUCCESS) osError = kGenFailure;  // never throw "no error"
    throw new CFileException(OsErrorToException(osError), osError, fileName);
}
