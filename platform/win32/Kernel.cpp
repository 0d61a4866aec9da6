// Errors, the current directory, the temporary folder and the program's path.
#include "win32/Kernel.h"

#include "win32/DriveMap.h"
#include "win32/Mbcs.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

// Copies text into a caller's buffer the way the path getters do: the length
// without the NUL when it fits, else the size needed including the NUL (and
// the buffer is left alone).
DWORD CopyOut(const std::string& text, DWORD size, LPSTR buffer)
{
    if (!buffer || size <= text.size()) return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

}  // namespace

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }

DWORD Win32ErrorFromErrno(int err)
{
    switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EROFS: return ERROR_WRITE_PROTECT;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EBUSY: return ERROR_SHARING_VIOLATION;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EBADF: return ERROR_INVALID_HANDLE;
    default: return ERROR_INVALID_FUNCTION;
    }
}

DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer)
{
    return CopyOut(DriveMap::CurrentDirectory(), nBufferLength, lpBuffer);
}

BOOL SetCurrentDirectoryA(LPCSTR lpPathName)
{
    if (!lpPathName || !*lpPathName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD err = ERROR_SUCCESS;
    if (!DriveMap::SetCurrentDirectory(lpPathName, &err)) {
        SetLastError(err);
        return FALSE;
    }
    return TRUE;
}

DWORD GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer)
{
    // The host's temporary folder, seen through the map (Z:\tmp\ by default).
    const char* tmp = std::getenv("TMPDIR");
    std::string host = tmp && *tmp ? tmp : "/tmp";
    std::string win = DriveMap::ToWindowsPath(host);
    if (win.empty()) win = DriveMap::CurrentDirectory();
    if (win.back() != '\\' || (win.size() >= 2 && mbcs::IsTrailAt(win, win.size() - 1))) win += '\\';
    return CopyOut(win, nBufferLength, lpBuffer);
}
