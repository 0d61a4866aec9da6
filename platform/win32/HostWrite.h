// The one way the platform writes to a host file, for the file layers of
// win32 (WriteFile) and the framework (CFile::Write); offered to the other
// platform layers only.
//
// A file-size limit of the host (RLIMIT_FSIZE, `ulimit -f`) raises SIGXFSZ
// at the write that crosses it, and the signal's default action ends the
// process. The write here blocks that signal for the calling thread while it
// writes and takes back one raised meanwhile before the thread's mask
// returns, so the write fails with EFBIG instead, in any process and whatever
// the signal's disposition: no preparation of the process is needed. Other
// threads and the process's dispositions are left alone.
#pragma once

#include <cstddef>

namespace hostio {

// Writes all `count` bytes at the descriptor's position, again after an
// interruption. 0 when everything was written, else the errno of the
// failure: EFBIG past the file-size limit, ENOSPC for a full disk or a write
// that makes no progress, EBADF for a descriptor not open for writing.
// `written` (when given) receives the bytes written either way; what was
// written stays written.
int WriteAll(int fd, const void* buffer, std::size_t count, std::size_t* written = nullptr);

}  // namespace hostio
