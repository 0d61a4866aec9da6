#include "win32/HostWrite.h"

#include "win32/ProcessEnding.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <csignal>
#include <ctime>
#include <pthread.h>
#include <unistd.h>

namespace {

// Blocks the file-size signal for the calling thread while it lives; a signal
// raised meanwhile is taken back before the old mask returns, so it can never
// strike later.
class FileSizeSignalBlock {
public:
    FileSizeSignalBlock()
    {
        sigemptyset(&m_set);
        sigaddset(&m_set, SIGXFSZ);
        pthread_sigmask(SIG_BLOCK, &m_set, &m_old);
    }
    ~FileSizeSignalBlock()
    {
        const timespec none = {0, 0};
        while (sigtimedwait(&m_set, nullptr, &none) == SIGXFSZ) {
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    FileSizeSignalBlock(const FileSizeSignalBlock&) = delete;
    FileSizeSignalBlock& operator=(const FileSizeSignalBlock&) = delete;

private:
    sigset_t m_set;
    sigset_t m_old;
};

}  // namespace

namespace hostio {

int WriteAll(int fd, const void* buffer, std::size_t count, std::size_t* written)
{
    const char* p = static_cast<const char*>(buffer);
    std::size_t done = 0;
    int err = 0;
    {
        // A process that a signal is ending writes nothing more (but a write
        // under way is finished before the ending acts).
        const win::ProcessEnding::Effect effect;
        FileSizeSignalBlock block;
        while (done < count) {
            const ssize_t n = ::write(fd, p + done, count - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                err = errno;
                break;
            }
            if (n == 0) {  // no progress: the disk takes no more
                err = ENOSPC;
                break;
            }
            done += static_cast<std::size_t>(n);
        }
    }
    if (written) *written = done;
    return err;
}

int Open(const char* path, int flags, mode_t mode)
{
    if ((flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) == 0) return ::open(path, flags, mode);
    const win::ProcessEnding::Effect effect;
    return ::open(path, flags, mode);
}

int Truncate(int fd, off_t length)
{
    const win::ProcessEnding::Effect effect;
    return ::ftruncate(fd, length);
}

int Unlink(const char* path)
{
    const win::ProcessEnding::Effect effect;
    return ::unlink(path);
}

int Rename(const char* from, const char* to)
{
    const win::ProcessEnding::Effect effect;
    return ::rename(from, to);
}

int MakeFolder(const char* path, mode_t mode)
{
    const win::ProcessEnding::Effect effect;
    return ::mkdir(path, mode);
}

int RemoveFolder(const char* path)
{
    const win::ProcessEnding::Effect effect;
    return ::rmdir(path);
}

int ChangeOwner(int fd, uid_t owner, gid_t group)
{
    const win::ProcessEnding::Effect effect;
    return ::fchown(fd, owner, group);
}

int ChangeMode(int fd, mode_t mode)
{
    const win::ProcessEnding::Effect effect;
    return ::fchmod(fd, mode);
}

ssize_t SendDatagram(int fd, const void* buffer, std::size_t count, int flags, const sockaddr* to,
                     socklen_t length)
{
    const win::ProcessEnding::Effect effect;
    return ::sendto(fd, buffer, count, flags, to, length);
}

}  // namespace hostio
