// Files used through handles, their locks, and the tick clock.
#include "win32/Kernel.h"

#include "win32/DriveMap.h"
#include "win32/HostWrite.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>

namespace {

// What a handle stands for; the magic tells a handle of ours from anything
// else passed in.
struct HostFile {
    static constexpr unsigned kMagic = 0x46484E44;  // "FHND"
    unsigned magic = kMagic;
    int fd = -1;
};

HostFile* FileOf(HANDLE h)
{
    HostFile* f = static_cast<HostFile*>(h);
    if (!f || h == INVALID_HANDLE_VALUE || f->magic != HostFile::kMagic) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return f;
}

bool OnCdrom(const std::string& full)
{
    DriveMap::Root r = DriveMap::ParseRoot(full);
    if (r.kind != DriveMap::Root::Drive) return false;
    const DriveMap::Drive* d = DriveMap::Current().FindDrive(r.letter);
    return d && d->type == DRIVE_CDROM;
}

// "File not found" for a missing name in an existing folder, else "path not found".
DWORD MissingError(const std::string& host)
{
    const size_t slash = host.rfind('/');
    const std::string parent = slash == std::string::npos ? "." : (slash == 0 ? "/" : host.substr(0, slash));
    struct stat st;
    return ::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

HANDLE Fail(DWORD error)
{
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                   DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE)
{
    const bool reads = (dwDesiredAccess & GENERIC_READ) != 0;
    const bool writes = (dwDesiredAccess & GENERIC_WRITE) != 0;
    if ((!reads && !writes) || (dwDesiredAccess & ~(GENERIC_READ | GENERIC_WRITE)) ||
        (dwFlagsAndAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL)) ||
        (dwCreationDisposition != CREATE_NEW && dwCreationDisposition != OPEN_EXISTING &&
         dwCreationDisposition != OPEN_ALWAYS))
        return Fail(ERROR_INVALID_PARAMETER);
    if (!lpFileName || !*lpFileName) return Fail(ERROR_PATH_NOT_FOUND);
    const std::string full = DriveMap::FullPath(lpFileName);
    if (full.size() >= MAX_PATH) return Fail(ERROR_FILENAME_EXCED_RANGE);
    const std::string host = DriveMap::ToHostPath(full);
    if (host.empty()) {
        const DriveMap::Root r = DriveMap::ParseRoot(full);
        return Fail(r.kind == DriveMap::Root::Share ? ERROR_BAD_NETPATH : ERROR_PATH_NOT_FOUND);
    }

    // Non-blocking, so that opening a pipe never waits for its other end.
    int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | (reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY);
    if (dwCreationDisposition == CREATE_NEW) flags |= O_CREAT | O_EXCL;
    if (dwCreationDisposition == OPEN_ALWAYS) flags |= O_CREAT;

    // The open's own flags refuse an existing entry of CREATE_NEW (O_EXCL)
    // and a link at the name (O_NOFOLLOW), also one put there after this
    // look; the look keeps other kinds of entry (a device, a pipe, a folder)
    // from being opened at all.
    struct stat before;
    const bool exists = ::lstat(host.c_str(), &before) == 0;
    const bool opensExisting = exists && dwCreationDisposition != CREATE_NEW && !S_ISLNK(before.st_mode);
    if (opensExisting && !S_ISREG(before.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    if ((writes || !exists) && OnCdrom(full)) return Fail(ERROR_ACCESS_DENIED);
    if (writes && opensExisting && (before.st_mode & S_IWUSR) == 0) return Fail(ERROR_ACCESS_DENIED);

    // Creating a file changes the disk: the open passes the ending's gate.
    const int fd = hostio::Open(host.c_str(), flags, 0666);
    if (fd < 0) {
        const int err = errno;
        if (err == EEXIST) return Fail(ERROR_FILE_EXISTS);
        // ELOOP: a link put in place since the look above; ENXIO: a pipe
        // without a reader.
        if (err == ELOOP || err == ENXIO) return Fail(ERROR_ACCESS_DENIED);
        if (err == ENOENT) return Fail(MissingError(host));
        return Fail(Win32ErrorFromErrno(err));
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Fail(ERROR_ACCESS_DENIED);
    }
    // A regular file never blocks; the flag goes so reads and writes run whole.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    HostFile* f = new HostFile;
    f->fd = fd;
    SetLastError(exists ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return f;
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
              LPOVERLAPPED lpOverlapped)
{
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
    HostFile* f = FileOf(hFile);
    if (!f) return FALSE;
    if (lpOverlapped || (!lpBuffer && nNumberOfBytesToRead)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    char* p = static_cast<char*>(lpBuffer);
    DWORD done = 0;
    while (done < nNumberOfBytesToRead) {
        const ssize_t n = ::read(f->fd, p + done, nNumberOfBytesToRead - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SetLastError(errno == EBADF ? ERROR_ACCESS_DENIED : Win32ErrorFromErrno(errno));
            if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
            return FALSE;
        }
        if (n == 0) break;
        done += static_cast<DWORD>(n);
    }
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
    return TRUE;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
               LPOVERLAPPED lpOverlapped)
{
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
    HostFile* f = FileOf(hFile);
    if (!f) return FALSE;
    if (lpOverlapped || (!lpBuffer && nNumberOfBytesToWrite)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    size_t done = 0;
    const int err = hostio::WriteAll(f->fd, lpBuffer, nNumberOfBytesToWrite, &done);
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = static_cast<DWORD>(done);
    if (err == 0) return TRUE;
    SetLastError(err == EFBIG || err == ENOSPC || err == EDQUOT ? ERROR_DISK_FULL
                 : err == EBADF                                 ? ERROR_ACCESS_DENIED
                                                                : Win32ErrorFromErrno(err));
    return FALSE;
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh)
{
    HostFile* f = FileOf(hFile);
    struct stat st;
    if (!f) return INVALID_FILE_SIZE;
    if (::fstat(f->fd, &st) != 0) {
        SetLastError(Win32ErrorFromErrno(errno));
        return INVALID_FILE_SIZE;
    }
    const unsigned long long size = static_cast<unsigned long long>(st.st_size);
    if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}

DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh, DWORD dwMoveMethod)
{
    HostFile* f = FileOf(hFile);
    if (!f) return INVALID_SET_FILE_POINTER;
    const int whence = dwMoveMethod == FILE_BEGIN ? SEEK_SET : dwMoveMethod == FILE_CURRENT ? SEEK_CUR
                       : dwMoveMethod == FILE_END ? SEEK_END : -1;
    if (whence < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    // Without a high half the distance is a signed 32-bit value, with one
    // the two halves make a signed 64-bit value.
    long long distance = static_cast<int>(static_cast<DWORD>(lDistanceToMove));
    if (lpDistanceToMoveHigh)
        distance = static_cast<long long>((static_cast<unsigned long long>(static_cast<DWORD>(*lpDistanceToMoveHigh)) << 32) |
                                          static_cast<DWORD>(lDistanceToMove));
    const off_t at = ::lseek(f->fd, static_cast<off_t>(distance), whence);
    if (at < 0) {
        SetLastError(errno == EINVAL ? ERROR_NEGATIVE_SEEK : Win32ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<DWORD>(static_cast<unsigned long long>(at) >> 32));
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(static_cast<unsigned long long>(at));
}

BOOL SetEndOfFile(HANDLE hFile)
{
    HostFile* f = FileOf(hFile);
    if (!f) return FALSE;
    const off_t at = ::lseek(f->fd, 0, SEEK_CUR);
    if (at < 0 || hostio::Truncate(f->fd, at) != 0) {
        SetLastError(errno == EBADF || errno == EINVAL ? ERROR_ACCESS_DENIED : Win32ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL GetFileInformationByHandle(HANDLE hFile, LPBY_HANDLE_FILE_INFORMATION lpFileInformation)
{
    HostFile* f = FileOf(hFile);
    if (!f) return FALSE;
    if (!lpFileInformation) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    struct stat st;
    if (::fstat(f->fd, &st) != 0) {
        SetLastError(Win32ErrorFromErrno(errno));
        return FALSE;
    }
    BY_HANDLE_FILE_INFORMATION info = {};
    info.dwFileAttributes = (st.st_mode & S_IWUSR) ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
    // The device number folded to 32 bits: one number per mounted file system.
    const unsigned long long dev = static_cast<unsigned long long>(st.st_dev);
    info.dwVolumeSerialNumber = static_cast<DWORD>(dev ^ (dev >> 32));
    const unsigned long long size = static_cast<unsigned long long>(st.st_size);
    info.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    info.nFileSizeLow = static_cast<DWORD>(size);
    info.nNumberOfLinks = static_cast<DWORD>(st.st_nlink);
    const unsigned long long ino = static_cast<unsigned long long>(st.st_ino);
    info.nFileIndexHigh = static_cast<DWORD>(ino >> 32);
    info.nFileIndexLow = static_cast<DWORD>(ino);
    *lpFileInformation = info;
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE hFile)
{
    HostFile* f = FileOf(hFile);
    if (!f) return FALSE;
    if (::fsync(f->fd) != 0) {
        SetLastError(Win32ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL CloseHandle(HANDLE hObject)
{
    HostFile* f = FileOf(hObject);
    if (!f) return FALSE;
    const int rc = ::close(f->fd);
    const int err = errno;
    f->magic = 0;
    delete f;
    // The descriptor is gone whatever close reports; an error still counts.
    if (rc != 0 && err != EINTR) {
        SetLastError(Win32ErrorFromErrno(err));
        return FALSE;
    }
    return TRUE;
}

BOOL LockFileEx(HANDLE hFile, DWORD dwFlags, DWORD dwReserved, DWORD nNumberOfBytesToLockLow,
                DWORD nNumberOfBytesToLockHigh, LPOVERLAPPED lpOverlapped)
{
    HostFile* f = FileOf(hFile);
    if (!f) return FALSE;
    if (dwReserved != 0 || !lpOverlapped || (nNumberOfBytesToLockLow == 0 && nNumberOfBytesToLockHigh == 0) ||
        (dwFlags & ~static_cast<DWORD>(LOCKFILE_FAIL_IMMEDIATELY | LOCKFILE_EXCLUSIVE_LOCK))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const int op = ((dwFlags & LOCKFILE_EXCLUSIVE_LOCK) ? LOCK_EX : LOCK_SH) |
                   ((dwFlags & LOCKFILE_FAIL_IMMEDIATELY) ? LOCK_NB : 0);
    int rc;
    do {
        rc = ::flock(f->fd, op);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int err = errno;
        // The file system keeps no locks: a share without its lock service
        // (ENOLCK), a mount that has no whole-file locks (EINVAL, ENOSYS,
        // EOPNOTSUPP).
        const bool unsupported = err == ENOLCK || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
        SetLastError(err == EWOULDBLOCK ? ERROR_LOCK_VIOLATION
                     : unsupported      ? ERROR_NOT_SUPPORTED
                                        : Win32ErrorFromErrno(err));
        return FALSE;
    }
    return TRUE;
}

DWORD GetTickCount()
{
    timespec now;
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const unsigned long long ms =
        static_cast<unsigned long long>(now.tv_sec) * 1000ULL + static_cast<unsigned long long>(now.tv_nsec) / 1000000ULL;
    return static_cast<DWORD>(ms);
}

void Sleep(DWORD dwMilliseconds)
{
    timespec left = {static_cast<time_t>(dwMilliseconds / 1000), static_cast<long>(dwMilliseconds % 1000) * 1000000L};
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}
