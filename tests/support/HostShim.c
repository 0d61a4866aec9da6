/* Preloaded into a deliverable by end-to-end tests, to make the host behave
 * as some machines do:
 *
 *   ZK_SHIM_FLOCK_ERRNO=<n>   every flock fails with errno n (a file system
 *                             without whole-file locks: ENOLCK, EINVAL, ...)
 *   ZK_SHIM_KILL_AT_WRITE=<n> the process is killed (SIGKILL) in its n-th
 *   ZK_SHIM_KILL_MATCH=<text> write (1 = the first) to a file whose host
 *                             path contains the text, after the first half
 *                             of that write's bytes went out (none of a
 *                             one-byte write), as if killed in the middle.
 *   ZK_SHIM_WRITE_ERRNO=<n>   every write to a file whose host path contains
 *   ZK_SHIM_WRITE_MATCH=<text> the text fails with errno n, nothing written
 *                             (ENOSPC: a full disk).
 *   ZK_SHIM_KILL_BEFORE_TRUNCATE=<n>, ZK_SHIM_KILL_AFTER_TRUNCATE=<n>
 *                             the process is killed (SIGKILL) right before,
 *                             or right after, its n-th ftruncate of a file
 *                             whose host path contains ZK_SHIM_KILL_MATCH.
 *   ZK_SHIM_PAUSE_LOCK=<path> the first exclusive flock of a file whose host
 *   ZK_SHIM_PAUSE_MATCH=<text> path contains the text waits: it creates
 *                             <path> and goes on once <path> is gone (at
 *                             most 60 s), to hold a writer between its open
 *                             and its lock while the test acts.
 *
 * A termination signal sent to the whole process, as kill sends it, at a
 * chosen call of the calling thread (the call then goes on):
 *
 *   ZK_SHIM_SIGNAL=<n>        the signal (15, 2, 1)
 *   ZK_SHIM_SIGNAL_CALL=<c>   at calls of c: write, openat (every open),
 *                             rename, fsync, flock, ftruncate or sendto
 *   ZK_SHIM_SIGNAL_AT=<n>     the n-th such call (1 = the first) ...
 *   ZK_SHIM_SIGNAL_MATCH=<t>  ... on a file, or a socket address, whose host
 *                             path contains t (none: every call counts)
 *   ZK_SHIM_SIGNAL_PAUSE_MS=<ms>  the signalled thread waits until the
 *                             process has taken the signal (it is no longer
 *                             pending), then ms more, before its call goes on:
 *                             the window in which the signal's ending begins
 *                             while this thread is at that call.
 *   ZK_SHIM_DELAY_CALL=<c>    once the signal is sent, every call of c (any
 *   ZK_SHIM_DELAY_MS=<ms>     thread) waits ms first: an ending made slow;
 *                             sigwait waits after it returns instead (a
 *                             signal thread slow to act on what it took).
 *
 * Written in C with no project header: it stands for the host, not for the
 * program. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <fcntl.h>
#include <stdarg.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

static int g_signalSent;
static int Matches(int fd, const char* variable);

static void SleepMs(long ms)
{
    struct timespec t = {ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

static long EnvLong(const char* name)
{
    const char* v = getenv(name);
    return v && *v ? atol(v) : 0;
}

static int Named(const char* call, const char* variable)
{
    const char* v = getenv(variable);
    return v && strcmp(v, call) == 0;
}

/* The calls of every thread count together. */
static int CountsForSignal(const char* call, const char* path)
{
    static long seen;
    const char* match = getenv("ZK_SHIM_SIGNAL_MATCH");
    if (g_signalSent || EnvLong("ZK_SHIM_SIGNAL") <= 0 || !Named(call, "ZK_SHIM_SIGNAL_CALL")) return 0;
    if (match && *match && (!path || !strstr(path, match))) return 0;
    return __atomic_add_fetch(&seen, 1, __ATOMIC_SEQ_CST) == EnvLong("ZK_SHIM_SIGNAL_AT");
}

/* Before a call of `call` on `path`: the signal when this is its call, and
 * the delay of a slow ending. */
static void BeforeCall(const char* call, const char* path)
{
    if (CountsForSignal(call, path)) {
        const int sig = (int)EnvLong("ZK_SHIM_SIGNAL");
        int errnoBefore = errno;
        __atomic_store_n(&g_signalSent, 1, __ATOMIC_SEQ_CST);
        kill(getpid(), sig);
        /* Taken: another thread has accepted it (every thread blocks it). */
        for (int i = 0; i < 20000; ++i) {
            sigset_t pending;
            if (sigpending(&pending) != 0 || !sigismember(&pending, sig)) break;
            SleepMs(1);
        }
        SleepMs(EnvLong("ZK_SHIM_SIGNAL_PAUSE_MS"));
        errno = errnoBefore;
        return;
    }
    if (__atomic_load_n(&g_signalSent, __ATOMIC_SEQ_CST) && Named(call, "ZK_SHIM_DELAY_CALL"))
        SleepMs(EnvLong("ZK_SHIM_DELAY_MS"));
}

static const char* PathOfFd(int fd, char* path, size_t size)
{
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, size - 1);
    if (n <= 0) return NULL;
    path[n] = '\0';
    return path;
}

static void BeforeFdCall(const char* call, int fd)
{
    char path[4096];
    if (!getenv("ZK_SHIM_SIGNAL_CALL") && !getenv("ZK_SHIM_DELAY_CALL")) return;
    BeforeCall(call, PathOfFd(fd, path, sizeof path));
}

/* The mode argument of an open that creates a file (after `flags`). */
#define MODE_ARGUMENT(flags, mode)                \
    do {                                          \
        if ((flags) & (O_CREAT | O_TMPFILE)) {    \
            va_list ap;                           \
            va_start(ap, flags);                  \
            (mode) = va_arg(ap, mode_t);          \
            va_end(ap);                           \
        }                                         \
    } while (0)

int open(const char* path, int flags, ...)
{
    static int (*real)(const char*, int, ...);
    mode_t mode = 0;
    MODE_ARGUMENT(flags, mode);
    if (!real) real = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, "open");
    BeforeCall("openat", path);
    return real(path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    static int (*real)(const char*, int, ...);
    mode_t mode = 0;
    MODE_ARGUMENT(flags, mode);
    if (!real) real = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, "open64");
    BeforeCall("openat", path);
    return real(path, flags, mode);
}

int openat(int dirfd, const char* path, int flags, ...)
{
    static int (*real)(int, const char*, int, ...);
    mode_t mode = 0;
    MODE_ARGUMENT(flags, mode);
    if (!real) real = (int (*)(int, const char*, int, ...))dlsym(RTLD_NEXT, "openat");
    BeforeCall("openat", path);
    return real(dirfd, path, flags, mode);
}

int rename(const char* from, const char* to)
{
    static int (*real)(const char*, const char*);
    if (!real) real = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
    BeforeCall("rename", to);
    return real(from, to);
}

int fsync(int fd)
{
    static int (*real)(int);
    if (!real) real = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
    BeforeFdCall("fsync", fd);
    return real(fd);
}

int ftruncate(int fd, off_t length)
{
    static int (*real)(int, off_t);
    static long seen;
    if (!real) real = (int (*)(int, off_t))dlsym(RTLD_NEXT, "ftruncate");
    BeforeFdCall("ftruncate", fd);
    const char* before = getenv("ZK_SHIM_KILL_BEFORE_TRUNCATE");
    const char* after = getenv("ZK_SHIM_KILL_AFTER_TRUNCATE");
    const long counted =
        ((before && *before) || (after && *after)) && Matches(fd, "ZK_SHIM_KILL_MATCH") ? ++seen : 0;
    if (counted && before && *before && counted == atol(before)) raise(SIGKILL);
    const int rc = real(fd, length);
    if (counted && after && *after && counted == atol(after)) raise(SIGKILL);
    return rc;
}

ssize_t sendto(int fd, const void* buffer, size_t count, int flags, const struct sockaddr* to, socklen_t length)
{
    static ssize_t (*real)(int, const void*, size_t, int, const struct sockaddr*, socklen_t);
    if (!real) real = (ssize_t (*)(int, const void*, size_t, int, const struct sockaddr*, socklen_t))dlsym(RTLD_NEXT, "sendto");
    const char* path = to && to->sa_family == AF_UNIX ? ((const struct sockaddr_un*)to)->sun_path : NULL;
    BeforeCall("sendto", path);
    return real(fd, buffer, count, flags, to, length);
}

int sigwait(const sigset_t* set, int* signalNumber)
{
    static int (*real)(const sigset_t*, int*);
    if (!real) real = (int (*)(const sigset_t*, int*))dlsym(RTLD_NEXT, "sigwait");
    const int rc = real(set, signalNumber);
    if (__atomic_load_n(&g_signalSent, __ATOMIC_SEQ_CST) && Named("sigwait", "ZK_SHIM_DELAY_CALL") &&
        *signalNumber == (int)EnvLong("ZK_SHIM_SIGNAL"))
        SleepMs(EnvLong("ZK_SHIM_DELAY_MS"));
    return rc;
}

/* The first exclusive lock of a matching file waits for the test. */
static void PauseBeforeLock(int fd, int operation)
{
    static int paused;
    const char* marker = getenv("ZK_SHIM_PAUSE_LOCK");
    if (paused || !marker || !*marker || !(operation & LOCK_EX) || !Matches(fd, "ZK_SHIM_PAUSE_MATCH")) return;
    paused = 1;
    const int made = open(marker, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (made >= 0) close(made);
    struct stat st;
    for (int waited = 0; waited < 60000 && stat(marker, &st) == 0; ++waited) SleepMs(1);
}

int flock(int fd, int operation)
{
    static int (*real)(int, int);
    BeforeFdCall("flock", fd);
    PauseBeforeLock(fd, operation);
    const char* forced = getenv("ZK_SHIM_FLOCK_ERRNO");
    if (forced && *forced) {
        errno = atoi(forced);
        return -1;
    }
    if (!real) real = (int (*)(int, int))dlsym(RTLD_NEXT, "flock");
    return real(fd, operation);
}

static int Matches(int fd, const char* variable)
{
    const char* match = getenv(variable);
    char link[64], path[4096];
    if (!match || !*match) return 0;
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, sizeof path - 1);
    if (n <= 0) return 0;
    path[n] = '\0';
    return strstr(path, match) != NULL;
}

ssize_t write(int fd, const void* buffer, size_t count)
{
    static ssize_t (*real)(int, const void*, size_t);
    static long seen;
    if (!real) real = (ssize_t (*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
    BeforeFdCall("write", fd);
    const char* at = getenv("ZK_SHIM_KILL_AT_WRITE");
    if (at && *at && Matches(fd, "ZK_SHIM_KILL_MATCH") && ++seen == atol(at)) {
        if (count / 2 > 0) real(fd, buffer, count / 2);
        raise(SIGKILL);
    }
    const char* failure = getenv("ZK_SHIM_WRITE_ERRNO");
    if (failure && *failure && Matches(fd, "ZK_SHIM_WRITE_MATCH")) {
        errno = atoi(failure);
        return -1;
    }
    return real(fd, buffer, count);
}
