// The host's effects: every call of the platform that changes something
// outside the process (a write, the creation, emptying, removal or renaming
// of a file or folder, a file's owner or mode, a datagram to a caller) goes
// through this module, and each passes the gate of the process's ending
// (win32/ProcessEnding.h): once a termination signal's ending has begun,
// every other thread is held at its next effect, and an effect under way
// finishes first. Offered to the platform layers only; tests/build refuses a
// direct call of these host functions anywhere else in the platform and the
// program. See platform/README.md, "Termination signals".
//
// The writes: a file-size limit of the host (RLIMIT_FSIZE, `ulimit -f`)
// raises SIGXFSZ at the write that crosses it, and the signal's default
// action ends the process. WriteAll blocks that signal for the calling thread
// while it writes and takes back one raised meanwhile before the thread's
// mask returns, so the write fails with EFBIG instead, in any process and
// whatever the signal's disposition. Other threads and the process's
// dispositions are left alone.
#pragma once

#include <cstddef>
#include <sys/socket.h>
#include <sys/types.h>

namespace hostio {

// Writes all `count` bytes at the descriptor's position, again after an
// interruption. 0 when everything was written, else the errno of the
// failure: EFBIG past the file-size limit, ENOSPC for a full disk or a write
// that makes no progress, EBADF for a descriptor not open for writing.
// `written` (when given) receives the bytes written either way; what was
// written stays written.
int WriteAll(int fd, const void* buffer, std::size_t count, std::size_t* written = nullptr);

// The host calls themselves, each through the gate; results and errno as the
// host gives them. An open passes the gate only when it may change the file
// (write access, creation or truncation); a read-only open is no effect.
int Open(const char* path, int flags, mode_t mode = 0);
int Truncate(int fd, off_t length);
int Unlink(const char* path);
int Rename(const char* from, const char* to);
int MakeFolder(const char* path, mode_t mode);
int RemoveFolder(const char* path);
int ChangeOwner(int fd, uid_t owner, gid_t group);
int ChangeMode(int fd, mode_t mode);
ssize_t SendDatagram(int fd, const void* buffer, std::size_t count, int flags, const sockaddr* to,
                     socklen_t length);

}  // namespace hostio
