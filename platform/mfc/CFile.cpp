#include "mfc/CFile.h"

#include "win32/DriveMap.h"
#include "win32/HostReason.h"
#include "win32/HostWrite.h"
#include "win32/Mbcs.h"
#include "win32/ProcessEnding.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The host path of a Windows path through the drive map; false when its
// drive or share has no mapping.
bool HostPathOf(LPCTSTR windowsPath, std::string& host)
{
    if (!windowsPath || !*windowsPath) return false;
    host = DriveMap::ToHostPath(windowsPath);
    return !host.empty();
}

// A CD-ROM drive is never writable.
bool OnCdrom(LPCTSTR windowsPath)
{
    DriveMap::Root r = DriveMap::ParseRoot(DriveMap::FullPath(windowsPath));
    if (r.kind != DriveMap::Root::Drive) return false;
    const DriveMap::Drive* d = DriveMap::Current().FindDrive(r.letter);
    return d && d->type == DRIVE_CDROM;
}

// The read-only attribute is the lack of the owner's write permission, so it
// holds for every user (root too), as the kernel functions have it.
bool ReadOnly(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

bool HasWildcard(LPCTSTR path)
{
    return CString(path).FindOneOf("*?\"<>|") >= 0;
}

// The Windows error code for a failure on `host`: a missing file in a missing
// folder is a bad path, as it is for the program on its own platform.
LONG OsErrorFor(int hostErrno, const std::string& host)
{
    if (hostErrno == ENOENT) {
        std::string::size_type slash = host.find_last_of('/');
        std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : host.substr(0, slash));
        struct stat st;
        if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return ERROR_PATH_NOT_FOUND;
    }
    return CFileException::ErrnoToOsError(hostErrno);
}

// Reads and writes of an open file wait as usual.
bool ClearNonBlocking(int fd)
{
    const int status = fcntl(fd, F_GETFL);
    return status != -1 && fcntl(fd, F_SETFL, status & ~O_NONBLOCK) == 0;
}

// A file being written that the host refuses: standard error names the host
// file and the host's reason, which the Windows error code the program sees
// loses (a full disk and a file-size limit are one code, a missing folder and
// a folder the user may not write are close). `doing` and `reason` are code
// page 932; the host path is the host's own.
void TellWriteFailure(const std::string& host, LPCTSTR windowsPath, const char* doing, const std::string& reasonUtf8)
{
    const std::string file = host.empty() ? mbcs::Cp932ToUtf8(windowsPath ? windowsPath : "") : host;
    hostreason::Tell(mbcs::Cp932ToUtf8("ファイル ") + file + " " + mbcs::Cp932ToUtf8(doing) + ": " + reasonUtf8);
}

const char kOpening[] = "を書き込み用に開けません";
const char kWriting[] = "に書き込めません";
const char kClosing[] = "を閉じるときに書き込みに失敗しました";

void Fill(CFileException* error, LONG osError, LPCTSTR fileName)
{
    if (!error) return;
    error->m_lOsError = osError;
    error->m_cause = CFileException::OsErrorToException(osError);
    error->m_strFileName = fileName;
}

}  // namespace

CFile::~CFile()
{
    Abort();
}

BOOL CFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* error)
{
    // Creating or truncating a file changes the disk: not once a signal is
    // ending the process (and not half-way when it begins).
    std::optional<win::ProcessEnding::Effect> effect;
    if ((openFlags & modeCreate) || (openFlags & 0x3) != modeRead) effect.emplace();
    if (IsOpen()) Abort();  // reopening a file object starts afresh
    m_strFileName = fileName;
    m_hostPath.clear();
    const bool writes = (openFlags & 0x3) != modeRead;
    std::string host;
    if (!fileName || HasWildcard(fileName) || !HostPathOf(fileName, host)) {
        if (writes && fileName && !HasWildcard(fileName))
            TellWriteFailure("", fileName, kOpening,
                             mbcs::Cp932ToUtf8("ドライブマップにこのドライブの割り当てがありません"));
        Fill(error, ERROR_PATH_NOT_FOUND, fileName);
        return FALSE;
    }

    // Non-blocking only while opening: a FIFO without its other end would
    // otherwise hold the open for ever.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    switch (openFlags & 0x3) {
    case modeRead: flags |= O_RDONLY; break;
    case modeWrite: flags |= O_WRONLY; break;
    case modeReadWrite: flags |= O_RDWR; break;
    default:
        Fill(error, ERROR_INVALID_NAME, fileName);
        return FALSE;
    }
    if (openFlags & modeCreate) flags |= O_CREAT;
    if (writes) {
        struct stat before;
        bool exists = ::stat(host.c_str(), &before) == 0;
        const bool cdrom = OnCdrom(fileName);
        if (cdrom || (exists && S_ISREG(before.st_mode) && ReadOnly(before))) {
            TellWriteFailure(host, fileName, kOpening,
                             mbcs::Cp932ToUtf8(cdrom ? "CD-ROM ドライブには書き込めません" : "読み取り専用のファイルです"));
            Fill(error, ERROR_ACCESS_DENIED, fileName);
            return FALSE;
        }
    }
    int fd = hostio::Open(host.c_str(), flags, 0666);
    if (fd < 0) {
        const int e = errno;
        if (writes) TellWriteFailure(host, fileName, kOpening, hostreason::Describe(e));
        // ENXIO: a FIFO without a reader, or a device without its unit,
        // opened for writing; neither is a file.
        Fill(error, e == ENXIO ? ERROR_ACCESS_DENIED : OsErrorFor(e, host), fileName);
        return FALSE;
    }
    struct stat st;
    // A folder, a FIFO, a socket or a device is no file to open.
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !ClearNonBlocking(fd)) {
        ::close(fd);
        if (writes) TellWriteFailure(host, fileName, kOpening, mbcs::Cp932ToUtf8("通常のファイルではありません"));
        Fill(error, ERROR_ACCESS_DENIED, fileName);
        return FALSE;
    }

    UINT share = openFlags & 0x70;
    bool exclusive = share == shareCompat || share == shareExclusive || share == shareDenyRead ||
                     (share == shareDenyWrite && writes);
    if (flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        if (writes) TellWriteFailure(host, fileName, kOpening, hostreason::Describe(EWOULDBLOCK));
        Fill(error, CFileException::ErrnoToOsError(EWOULDBLOCK), fileName);
        return FALSE;
    }
    // Truncate only once the file is ours, so a refused open destroys nothing.
    if ((openFlags & modeCreate) && !(openFlags & modeNoTruncate) && st.st_size > 0 &&
        hostio::Truncate(fd, 0) != 0) {
        int e = errno;
        ::close(fd);
        TellWriteFailure(host, fileName, kOpening, hostreason::Describe(e));
        Fill(error, CFileException::ErrnoToOsError(e), fileName);
        return FALSE;
    }
    // Created or emptied by this open: when it is the run's output, the run
    // owns it from here, in the same step (the gate is still held).
    if ((openFlags & modeCreate) && writes) win::ProcessEnding::OutputOpened(host, fd);
    m_fd = fd;
    m_hostPath = host;
    if (error) Fill(error, ERROR_SUCCESS, fileName);
    return TRUE;
}

void CFile::ThrowErrno(int hostErrno) const
{
    CFileException::ThrowOsError(CFileException::ErrnoToOsError(hostErrno), m_strFileName);
}

void CFile::CheckOpen() const
{
    if (!IsOpen()) ThrowErrno(EBADF);
}

UINT CFile::Read(void* buffer, UINT count)
{
    CheckOpen();
    if (count == 0) return 0;
    if (!buffer) ThrowErrno(EINVAL);
    char* p = static_cast<char*>(buffer);
    UINT done = 0;
    while (done < count) {
        ssize_t n = ::read(m_fd, p + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            // The file is open, so a bad descriptor means the access mode does not allow this.
            ThrowErrno(errno == EBADF ? EACCES : errno);
        }
        if (n == 0) break;
        done += static_cast<UINT>(n);
    }
    return done;
}

void CFile::Write(const void* buffer, UINT count)
{
    CheckOpen();
    if (count == 0) return;
    if (!buffer) ThrowErrno(EINVAL);
    // A file-size limit fails the write with EFBIG, thrown as a full disk.
    const int err = hostio::WriteAll(m_fd, buffer, count);
    // The file is open, so a bad descriptor means the access mode does not allow this.
    if (err == EBADF) ThrowErrno(EACCES);
    if (err != 0) {
        TellWriteFailure(m_hostPath, m_strFileName, kWriting, hostreason::Describe(err));
        ThrowErrno(err);
    }
}

void CFile::Close()
{
    if (!IsOpen()) return;
    int fd = m_fd;
    m_fd = -1;
    // The descriptor is released even when close reports an error (a
    // delayed write error of a network file system, say).
    if (::close(fd) != 0 && errno != EINTR) {
        const int e = errno;
        TellWriteFailure(m_hostPath, m_strFileName, kClosing, hostreason::Describe(e));
        ThrowErrno(e);
    }
}

void CFile::Abort()
{
    if (!IsOpen()) return;
    ::close(m_fd);
    m_fd = -1;
}

BOOL CFile::GetStatus(LPCTSTR fileName, CFileStatus& status)
{
    std::string host;
    if (!fileName || HasWildcard(fileName) || !HostPathOf(fileName, host)) return FALSE;
    struct stat st;
    if (stat(host.c_str(), &st) != 0) return FALSE;

    status = CFileStatus();
    if (S_ISDIR(st.st_mode)) {
        status.m_attribute |= FILE_ATTRIBUTE_DIRECTORY;
    } else {
        status.m_size = static_cast<ULONGLONG>(st.st_size);
    }
    if (ReadOnly(st) || OnCdrom(fileName)) status.m_attribute |= FILE_ATTRIBUTE_READONLY;
    // The full name: relative parts resolved against the current directory.
    std::string full = DriveMap::FullPath(fileName);
    std::strncpy(status.m_szFullName, full.c_str(), sizeof status.m_szFullName - 1);
    return TRUE;
}
