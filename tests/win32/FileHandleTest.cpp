// Files through handles: exclusive creation, what is never opened or
// followed, writes that meet a size limit, and locks between handles.
#include "win32/DriveMap.h"
#include "win32/Kernel.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

class FileHandleTest : public ::testing::Test {
protected:
    TempFolder tmp;

    void SetUp() override
    {
        tmp.MakeDir("c");
        tmp.MakeDir("cd");
        tmp.WriteFile("cd/disc.txt", "on the disc");
        DriveMap::SetForTesting("C=" + tmp / "c" + ";Q=" + tmp / "cd:cdrom", "");
    }
    void TearDown() override { DriveMap::SetForTesting("", ""); }

    static HANDLE Open(const char* path, DWORD access, DWORD disposition)
    {
        return CreateFileA(path, access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    // The error of an open that must fail (the handle is closed if it did not).
    static DWORD OpenError(const char* path, DWORD access, DWORD disposition)
    {
        HANDLE h = Open(path, access, disposition);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            return ERROR_SUCCESS;
        }
        return GetLastError();
    }
    std::string Bytes(const std::string& rel) const
    {
        std::ifstream in(tmp / rel, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(FileHandleTest, WriteReadAndSizeThroughHandles)
{
    HANDLE h = Open("C:\\a.txt", GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, "hello\n", 6, &written, nullptr));
    EXPECT_EQ(written, 6u);
    EXPECT_TRUE(FlushFileBuffers(h));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(Bytes("c/a.txt"), "hello\n");

    h = Open("C:\\A.TXT", GENERIC_READ, OPEN_EXISTING);  // names ignore case
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(h, &high), 6u);
    EXPECT_EQ(high, 0u);
    char buf[16] = {};
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(h, buf, sizeof buf, &got, nullptr));  // less only at the end
    EXPECT_EQ(std::string(buf, got), "hello\n");
    EXPECT_FALSE(WriteFile(h, "x", 1, &written, nullptr));  // opened for reading
    EXPECT_TRUE(CloseHandle(h));

    // OPEN_ALWAYS creates a missing file and keeps an existing one's bytes.
    h = Open("C:\\a.txt", GENERIC_READ, OPEN_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(h);
    EXPECT_EQ(Bytes("c/a.txt"), "hello\n");
    h = Open("C:\\b.txt", GENERIC_READ, OPEN_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_TRUE(tmp.Exists("c/b.txt"));

    EXPECT_EQ(OpenError("C:\\missing.txt", GENERIC_READ, OPEN_EXISTING), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(OpenError("C:\\no\\such.txt", GENERIC_READ, OPEN_ALWAYS), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(OpenError("C:\\a.txt", GENERIC_READ, 2 /* CREATE_ALWAYS */), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(FileHandleTest, ExclusiveCreationNeverFollowsOrOverwrites)
{
    tmp.WriteFile("victim.txt", "precious");
    tmp.WriteFile("c/taken.txt", "old");
    fs::create_symlink(tmp / "victim.txt", tmp / "c/link.txt");
    fs::create_symlink(tmp / "nowhere.txt", tmp / "c/dangling.txt");
    fs::create_directories(tmp / "c/folder");

    for (const char* name : {"C:\\taken.txt", "C:\\link.txt", "C:\\dangling.txt", "C:\\folder"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(OpenError(name, GENERIC_WRITE, CREATE_NEW), static_cast<DWORD>(ERROR_FILE_EXISTS));
    }
    EXPECT_EQ(Bytes("victim.txt"), "precious");
    EXPECT_EQ(Bytes("c/taken.txt"), "old");
    EXPECT_FALSE(fs::exists(fs::symlink_status(tmp / "nowhere.txt")));

    // Opening by name does not go through a link either.
    EXPECT_EQ(OpenError("C:\\link.txt", GENERIC_READ, OPEN_EXISTING), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(OpenError("C:\\dangling.txt", GENERIC_READ, OPEN_ALWAYS), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(fs::exists(fs::symlink_status(tmp / "nowhere.txt")));
}

TEST_F(FileHandleTest, OnlyRegularFilesAreOpenedAndNothingWaits)
{
    ASSERT_EQ(::mkfifo((tmp / "c/pipe").c_str(), 0666), 0);
    fs::create_directories(tmp / "c/folder");
    // Neither end of the pipe is ever opened, so nothing can wait on the other.
    for (DWORD access : {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE}) {
        EXPECT_EQ(OpenError("C:\\pipe", access, OPEN_EXISTING), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_EQ(OpenError("C:\\pipe", access, OPEN_ALWAYS), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_EQ(OpenError("C:\\folder", access, OPEN_EXISTING), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    DriveMap::SetForTesting("C=" + tmp / "c" + ";Z=/", "");
    EXPECT_EQ(OpenError("Z:\\dev\\zero", GENERIC_READ, OPEN_EXISTING), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(OpenError("Z:\\dev\\null", GENERIC_WRITE, OPEN_EXISTING), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(FileHandleTest, ReadOnlyFilesAndDiscsRefuseWriting)
{
    tmp.WriteFile("c/ro.txt", "keep");
    ::chmod((tmp / "c/ro.txt").c_str(), 0444);
    EXPECT_EQ(OpenError("C:\\ro.txt", GENERIC_WRITE, OPEN_EXISTING), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(OpenError("C:\\ro.txt", GENERIC_READ, OPEN_EXISTING), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(OpenError("Q:\\disc.txt", GENERIC_WRITE, OPEN_EXISTING), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(OpenError("Q:\\new.txt", GENERIC_WRITE, CREATE_NEW), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(tmp.Exists("cd/new.txt"));
    EXPECT_EQ(OpenError("Q:\\disc.txt", GENERIC_READ, OPEN_EXISTING), static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(FileHandleTest, SizeLimitFailsTheWriteAndLeavesTheProcessAlive)
{
    // The signal of the limit keeps its default action, which would end the
    // process if the write let it through.
    struct sigaction fatal = {}, previous = {};
    fatal.sa_handler = SIG_DFL;
    ASSERT_EQ(sigaction(SIGXFSZ, &fatal, &previous), 0);
    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);

    HANDLE h = Open("C:\\big.txt", GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    rlimit limit = saved;
    limit.rlim_cur = 10;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    DWORD written = 99;
    const BOOL ok = WriteFile(h, "0123456789abcdef", 16, &written, nullptr);
    const DWORD error = GetLastError();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    CloseHandle(h);
    sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_FALSE(ok);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(written, 10u);
    sigset_t pending;
    sigpending(&pending);
    EXPECT_FALSE(sigismember(&pending, SIGXFSZ));  // nothing left to strike later
}

TEST_F(FileHandleTest, LocksExcludeOtherHandlesUntilReleased)
{
    HANDLE first = Open("C:\\turn.lock", GENERIC_READ, OPEN_ALWAYS);
    HANDLE second = Open("C:\\turn.lock", GENERIC_READ, OPEN_ALWAYS);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    OVERLAPPED ov = {};
    const DWORD exclusiveNow = LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY;
    ASSERT_TRUE(LockFileEx(first, exclusiveNow, 0, 1, 0, &ov));
    EXPECT_FALSE(LockFileEx(second, exclusiveNow, 0, 1, 0, &ov));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_LOCK_VIOLATION));
    EXPECT_FALSE(LockFileEx(second, LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &ov));  // shared, too

    // A host process's own whole-file lock meets the same lock.
    const int host = ::open((tmp / "c/turn.lock").c_str(), O_RDONLY);
    ASSERT_GE(host, 0);
    EXPECT_NE(::flock(host, LOCK_EX | LOCK_NB), 0);

    // Closing the handle releases its lock.
    CloseHandle(first);
    first = Open("C:\\turn.lock", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(LockFileEx(second, exclusiveNow, 0, 1, 0, &ov));
    // Closing the handle releases its lock.
    CloseHandle(second);
    EXPECT_EQ(::flock(host, LOCK_EX | LOCK_NB), 0);
    ::close(host);
    // Shared locks go together.
    ASSERT_TRUE(LockFileEx(first, LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &ov));
    HANDLE third = Open("C:\\turn.lock", GENERIC_READ, OPEN_EXISTING);
    EXPECT_TRUE(LockFileEx(third, LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &ov));
    CloseHandle(third);
    CloseHandle(first);
}

// Positions, cutting, and what a handle tells of its file.
TEST_F(FileHandleTest, PositionedWritesCutsAndIdentity)
{
    tmp.WriteFile("c/f.txt", "0123456789");
    HANDLE h = Open("C:\\f.txt", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_EQ(SetFilePointer(h, 4, nullptr, FILE_BEGIN), 4u);
    ASSERT_TRUE(WriteFile(h, "ab", 2, &written, nullptr));
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_END), 10u);
    ASSERT_TRUE(WriteFile(h, "!", 1, &written, nullptr));
    EXPECT_EQ(SetFilePointer(h, -3, nullptr, FILE_CURRENT), 8u);
    EXPECT_EQ(SetFilePointer(h, -1, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(Bytes("c/f.txt"), "0123ab6789!");
    ASSERT_EQ(SetFilePointer(h, 6, nullptr, FILE_BEGIN), 6u);
    ASSERT_TRUE(SetEndOfFile(h));
    EXPECT_EQ(Bytes("c/f.txt"), "0123ab");

    // Two names of one file give one identity; another file another.
    fs::create_hard_link(tmp / "c/f.txt", tmp / "c/g.txt");
    tmp.WriteFile("c/other.txt", "0123ab");
    HANDLE same = Open("C:\\g.txt", GENERIC_READ, OPEN_EXISTING);
    HANDLE other = Open("C:\\other.txt", GENERIC_READ, OPEN_EXISTING);
    BY_HANDLE_FILE_INFORMATION a = {}, b = {}, o = {};
    ASSERT_TRUE(GetFileInformationByHandle(h, &a));
    ASSERT_TRUE(GetFileInformationByHandle(same, &b));
    ASSERT_TRUE(GetFileInformationByHandle(other, &o));
    EXPECT_EQ(a.dwVolumeSerialNumber, b.dwVolumeSerialNumber);
    EXPECT_EQ(a.nFileIndexLow, b.nFileIndexLow);
    EXPECT_EQ(a.nFileIndexHigh, b.nFileIndexHigh);
    EXPECT_EQ(a.nNumberOfLinks, 2u);
    EXPECT_EQ(a.nFileSizeLow, 6u);
    EXPECT_FALSE(a.nFileIndexLow == o.nFileIndexLow && a.nFileIndexHigh == o.nFileIndexHigh);
    CloseHandle(other);
    CloseHandle(same);
    CloseHandle(h);
}

TEST_F(FileHandleTest, TickCountAdvancesAcrossSleep)
{
    const DWORD start = GetTickCount();
    Sleep(30);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 2000u);
}

}  // namespace
