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
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

static int PathContains(int fd, const char* text);

/* The first exclusive lock of a matching file waits for the test. */
static void PauseBeforeLock(int fd, int operation)
{
    static int paused;
    const char* marker = getenv("ZK_SHIM_PAUSE_LOCK");
    if (paused || !marker || !*marker || !(operation & LOCK_EX) || !PathContains(fd, getenv("ZK_SHIM_PAUSE_MATCH")))
        return;
    paused = 1;
    const int made = open(marker, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (made >= 0) close(made);
    const struct timespec tick = {0, 1000000};
    struct stat st;
    for (int waited = 0; waited < 60000 && stat(marker, &st) == 0; ++waited) nanosleep(&tick, NULL);
}

int flock(int fd, int operation)
{
    static int (*real)(int, int);
    PauseBeforeLock(fd, operation);
    const char* forced = getenv("ZK_SHIM_FLOCK_ERRNO");
    if (forced && *forced) {
        errno = atoi(forced);
        return -1;
    }
    if (!real) real = (int (*)(int, int))dlsym(RTLD_NEXT, "flock");
    return real(fd, operation);
}

static int Matches(int fd) { return PathContains(fd, getenv("ZK_SHIM_KILL_MATCH")); }

static int PathContains(int fd, const char* match)
{
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
    const char* at = getenv("ZK_SHIM_KILL_AT_WRITE");
    if (at && *at && Matches(fd) && ++seen == atol(at)) {
        if (count / 2 > 0) real(fd, buffer, count / 2);
        raise(SIGKILL);
    }
    return real(fd, buffer, count);
}

int ftruncate(int fd, off_t length)
{
    static int (*real)(int, off_t);
    static long seen;
    if (!real) real = (int (*)(int, off_t))dlsym(RTLD_NEXT, "ftruncate");
    const char* before = getenv("ZK_SHIM_KILL_BEFORE_TRUNCATE");
    const char* after = getenv("ZK_SHIM_KILL_AFTER_TRUNCATE");
    const int counted = ((before && *before) || (after && *after)) && Matches(fd) ? (int)++seen : 0;
    if (counted && before && *before && counted == atol(before)) raise(SIGKILL);
    const int rc = real(fd, length);
    if (counted && after && *after && counted == atol(after)) raise(SIGKILL);
    return rc;
}
