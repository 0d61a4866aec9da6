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
#include <sys/file.h>
#include <unistd.h>

int flock(int fd, int operation)
{
    static int (*real)(int, int);
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
