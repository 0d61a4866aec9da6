// Files and folders through the drive map, and the shell's path functions.
#include "win32/Kernel.h"

#include "win32/DriveMap.h"
#include "win32/HostWrite.h"
#include "win32/Mbcs.h"
#include "win32/ProcessEnding.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The host path of a Windows path, with the Windows error set when there is
// none (an unmapped drive is a missing path, an unknown share a bad network
// path).
bool HostOf(LPCSTR path, std::string* host, std::string* full = nullptr)
{
    if (!path || !*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    std::string f = DriveMap::FullPath(path);
    // The ANSI functions take paths shorter than MAX_PATH only.
    if (f.size() >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    *host = DriveMap::ToHostPath(f);
    if (full) *full = f;
    if (host->empty()) {
        DriveMap::Root r = DriveMap::ParseRoot(f);
        SetLastError(r.kind == DriveMap::Root::Share ? ERROR_BAD_NETPATH : ERROR_PATH_NOT_FOUND);
        return false;
    }
    return true;
}

// A missing entry: "file not found" when its folder exists, else "path not found".
DWORD MissingError(const std::string& host)
{
    std::string h = host;
    while (h.size() > 1 && h.back() == '/') h.pop_back();
    size_t slash = h.rfind('/');
    std::string parent = slash == 0 ? "/" : h.substr(0, slash);
    struct stat st;
    if (slash != std::string::npos && ::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return ERROR_FILE_NOT_FOUND;
    return ERROR_PATH_NOT_FOUND;
}

DWORD StatError(const std::string& host, int err)
{
    return err == ENOENT ? MissingError(host) : Win32ErrorFromErrno(err);
}

bool OnCdrom(const std::string& full)
{
    DriveMap::Root r = DriveMap::ParseRoot(full);
    if (r.kind != DriveMap::Root::Drive) return false;
    const DriveMap::Drive* d = DriveMap::Current().FindDrive(r.letter);
    return d && d->type == DRIVE_CDROM;
}

// The read-only attribute is the lack of the owner's write permission, so it
// holds for every user (also for root, who bypasses permission bits).
bool ReadOnlyAttribute(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

bool IsRoot(const std::string& full)
{
    DriveMap::Root r = DriveMap::ParseRoot(full);
    return r.skip == std::string::npos || r.skip >= full.size();
}

}  // namespace

BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES)
{
    std::string host, full;
    if (!HostOf(lpPathName, &host, &full)) return FALSE;
    // A new folder's path leaves room for an 8.3 name below it (248 bytes).
    std::string bare = full;
    if (bare.size() > 3 && bare.back() == '\\' && !mbcs::IsTrailAt(bare, bare.size() - 1)) bare.pop_back();
    if (bare.size() > MAX_PATH - 12) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    struct stat st;
    if (::stat(host.c_str(), &st) == 0) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (OnCdrom(full)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (hostio::MakeFolder(host.c_str(), 0777) != 0) {
        int err = errno;
        SetLastError(err == ENOENT || err == ENOTDIR ? ERROR_PATH_NOT_FOUND : Win32ErrorFromErrno(err));
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR lpPathName)
{
    std::string host, full;
    if (!HostOf(lpPathName, &host, &full)) return FALSE;
    struct stat st;
    if (::lstat(host.c_str(), &st) != 0) {
        SetLastError(StatError(host, errno));
        return FALSE;
    }
    if (!S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_DIRECTORY);
        return FALSE;
    }
    if (IsRoot(full) || OnCdrom(full)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (hostio::RemoveFolder(host.c_str()) != 0) {
        int err = errno;
        SetLastError(err == EEXIST || err == ENOTEMPTY ? ERROR_DIR_NOT_EMPTY : Win32ErrorFromErrno(err));
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileA(LPCSTR lpFileName)
{
    std::string host, full;
    if (!HostOf(lpFileName, &host, &full)) return FALSE;
    struct stat st;
    if (::lstat(host.c_str(), &st) != 0) {
        SetLastError(StatError(host, errno));
        return FALSE;
    }
    if (S_ISDIR(st.st_mode) || ReadOnlyAttribute(st) || OnCdrom(full)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (hostio::Unlink(host.c_str()) != 0) {
        SetLastError(Win32ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

namespace {

// Gives the open replacement the replaced file's owner, group and permission
// bits; false when the host refuses one of them or keeps an access list
// beside the bits that a copy of the bits would not carry.
bool TakeIdentity(int fd, const std::string& replacedHost, const struct stat& replaced)
{
    if (::lgetxattr(replacedHost.c_str(), "system.posix_acl_access", nullptr, 0) >= 0) return false;
    struct stat own;
    if (::fstat(fd, &own) != 0) return false;
    if ((own.st_uid != replaced.st_uid || own.st_gid != replaced.st_gid) &&
        hostio::ChangeOwner(fd, replaced.st_uid, replaced.st_gid) != 0)
        return false;
    // After the owner: a change of owner clears the set-id bits.
    return hostio::ChangeMode(fd, replaced.st_mode & 07777) == 0;
}

}  // namespace

BOOL ReplaceFileA(LPCSTR lpReplacedFileName, LPCSTR lpReplacementFileName, LPCSTR lpBackupFileName,
                  DWORD dwReplaceFlags, LPVOID lpExclude, LPVOID lpReserved)
{
    if (lpBackupFileName || dwReplaceFlags || lpExclude || lpReserved) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string replaced, replacement, fullReplaced, fullReplacement;
    if (!HostOf(lpReplacedFileName, &replaced, &fullReplaced) ||
        !HostOf(lpReplacementFileName, &replacement, &fullReplacement))
        return FALSE;
    struct stat old;
    if (::lstat(replaced.c_str(), &old) != 0) {
        SetLastError(StatError(replaced, errno));
        return FALSE;
    }
    if (!S_ISREG(old.st_mode) || ReadOnlyAttribute(old) || OnCdrom(fullReplaced) || OnCdrom(fullReplacement)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const win::ProcessEnding::Effect effect;
    const int fd = hostio::Open(replacement.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        SetLastError(errno == ENOENT ? MissingError(replacement) : ERROR_ACCESS_DENIED);
        return FALSE;
    }
    struct stat st;
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const bool same = regular && st.st_dev == old.st_dev && st.st_ino == old.st_ino;
    const bool ready = regular && !same && TakeIdentity(fd, replaced, old);
    ::close(fd);
    if (!regular || same) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!ready || hostio::Rename(replacement.c_str(), replaced.c_str()) != 0) {
        SetLastError(ERROR_UNABLE_TO_REMOVE_REPLACED);
        return FALSE;
    }
    return TRUE;
}

namespace {

// Creates a new empty file that only its creator may read and write, whatever
// the umask: content written into it before it is given away (ReplaceFileA)
// is nobody else's to open. An existing entry (a link included) is never
// opened: ERROR_FILE_EXISTS.
bool CreatePrivate(const std::string& name)
{
    std::string host, full;
    if (!HostOf(name.c_str(), &host, &full)) return false;
    if (OnCdrom(full)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    const int fd = hostio::Open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0) {
        const int err = errno;
        SetLastError(err == EEXIST ? ERROR_FILE_EXISTS : err == ENOENT ? MissingError(host) : Win32ErrorFromErrno(err));
        return false;
    }
    ::close(fd);
    return true;
}

}  // namespace

UINT GetTempFileNameA(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique, LPSTR lpTempFileName)
{
    if (!lpPathName || !*lpPathName || !lpTempFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string folder = lpPathName;
    if (folder.back() != '\\' || mbcs::IsTrailAt(folder, folder.size() - 1)) folder += '\\';
    // The prefix's first three characters, a double-byte one never cut.
    std::string prefix;
    for (const char* p = lpPrefixString ? lpPrefixString : ""; *p && prefix.size() < 3;) {
        const size_t n = mbcs::IsLeadByte(static_cast<unsigned char>(*p)) && p[1] ? 2 : 1;
        prefix.append(p, n);
        p += n;
    }
    auto nameOf = [&](UINT number) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", number & 0xFFFFu);
        return folder + prefix + hex + ".TMP";
    };
    auto copyOut = [&](const std::string& name) {
        if (name.size() >= MAX_PATH) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return false;
        }
        std::memcpy(lpTempFileName, name.c_str(), name.size() + 1);
        return true;
    };
    if (uUnique != 0) return copyOut(nameOf(uUnique)) ? (uUnique & 0xFFFFu) : 0;

    // Numbers from one that differs between processes and moments, each name
    // created exclusively until one is new.
    UINT number = (static_cast<UINT>(::getpid()) * 2654435761u ^ GetTickCount()) & 0xFFFFu;
    for (UINT tried = 0; tried < 0xFFFFu; ++tried, number = (number % 0xFFFFu) + 1) {
        if (number == 0) number = 1;
        const std::string name = nameOf(number);
        if (name.size() >= MAX_PATH) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return 0;
        }
        if (CreatePrivate(name)) {
            copyOut(name);
            return number;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return 0;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return 0;
}

UINT GetDriveTypeA(LPCSTR lpRootPathName)
{
    if (!lpRootPathName) {
        std::string cur = DriveMap::CurrentDirectory();
        DriveMap::Root r = DriveMap::ParseRoot(cur);
        std::string root = cur.substr(0, r.rootEnd);
        return DriveMap::DriveTypeOfRoot(root);
    }
    return DriveMap::DriveTypeOfRoot(lpRootPathName);
}

int _access(const char* path, int mode)
{
    if (mode != 0 && mode != 2 && mode != 4 && mode != 6) {
        errno = EINVAL;
        return -1;
    }
    std::string host, full;
    if (!HostOf(path, &host, &full)) {
        errno = ENOENT;
        return -1;
    }
    struct stat st;
    if (::stat(host.c_str(), &st) != 0) return -1;
    // A FIFO, a socket or a device is no file that could be opened (see
    // CFile): it is reported missing, as it would be read.
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        errno = ENOENT;
        return -1;
    }
    if (mode & 2) {
        if (ReadOnlyAttribute(st) || OnCdrom(full) || ::access(host.c_str(), W_OK) != 0) {
            errno = EACCES;
            return -1;
        }
    }
    if ((mode & 4) && ::access(host.c_str(), R_OK) != 0) {
        errno = EACCES;
        return -1;
    }
    return 0;
}

BOOL PathIsDirectoryA(LPCSTR pszPath)
{
    std::string host;
    if (!HostOf(pszPath, &host)) return FALSE;
    struct stat st;
    if (::stat(host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return FALSE;
    return FILE_ATTRIBUTE_DIRECTORY;
}

LPSTR PathSkipRootA(LPCSTR pszPath)
{
    if (!pszPath) return nullptr;
    DriveMap::Root r = DriveMap::ParseRoot(pszPath);
    if (r.kind == DriveMap::Root::None || r.kind == DriveMap::Root::DriveRelative) return nullptr;
    return const_cast<LPSTR>(pszPath) + r.skip;
}

BOOL PathStripToRootA(LPSTR pszPath)
{
    if (!pszPath) return FALSE;
    DriveMap::Root r = DriveMap::ParseRoot(pszPath);
    // A drive-relative path keeps its "X:" but has no root directory.
    if (r.kind == DriveMap::Root::None) {
        pszPath[0] = '\0';
        return FALSE;
    }
    pszPath[r.rootEnd] = '\0';
    return r.kind == DriveMap::Root::DriveRelative ? FALSE : TRUE;
}
