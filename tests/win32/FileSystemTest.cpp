#include "win32/DriveMap.h"
#include "tests/support/TestTemp.h"
#include "win32/Kernel.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::string c;

    void SetUp() override
    {
        tmp.MakeDir("c");
        tmp.MakeDir("cd/disc");
        tmp.MakeDir("share");
        c = tmp / "c";
        DriveMap::SetForTesting("C=" + c + ";Q=" + tmp / "cd:cdrom;E=" + tmp / "nomedia:removable",
                                "\\\\srv\\pub=" + tmp / "share");
        SetCurrentDirectoryA("C:\\");
    }
    void TearDown() override { DriveMap::SetForTesting("", ""); }

    void ExpectError(DWORD expected) { EXPECT_EQ(GetLastError(), expected); }
};

TEST_F(FileSystemTest, CreateDirectoryAndItsErrors)
{
    ASSERT_TRUE(CreateDirectoryA("C:\\out", nullptr));
    EXPECT_TRUE(tmp.Exists("c/out"));
    SetLastError(0);
    EXPECT_FALSE(CreateDirectoryA("C:\\OUT\\", nullptr));
    ExpectError(ERROR_ALREADY_EXISTS);
    tmp.WriteFile("c/file", "x");
    EXPECT_FALSE(CreateDirectoryA("C:\\file", nullptr));
    ExpectError(ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(CreateDirectoryA("C:\\missing\\child", nullptr));
    ExpectError(ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(tmp.Exists("c/missing"));
    EXPECT_FALSE(CreateDirectoryA("D:\\x", nullptr));
    ExpectError(ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(CreateDirectoryA("\\\\srv\\other\\x", nullptr));
    ExpectError(ERROR_BAD_NETPATH);
    EXPECT_FALSE(CreateDirectoryA("Q:\\disc\\new", nullptr));
    ExpectError(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(tmp.Exists("cd/disc/new"));
    ASSERT_TRUE(CreateDirectoryA("\\\\srv\\pub\\x", nullptr));
    EXPECT_TRUE(tmp.Exists("share/x"));
    // Relative to the current directory.
    ASSERT_TRUE(CreateDirectoryA("out\\rel", nullptr));
    EXPECT_TRUE(tmp.Exists("c/out/rel"));
}

TEST_F(FileSystemTest, PathLengthLimits)
{
    // "C:\" and a name: a new folder's path may have 248 bytes, other paths 259.
    std::string ok = "C:\\" + std::string(245, 'a');
    std::string tooLong = "C:\\" + std::string(246, 'b');
    EXPECT_TRUE(CreateDirectoryA(ok.c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryA((tooLong + "\\").c_str(), nullptr));
    ExpectError(ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(_access(("C:\\" + std::string(256, 'c')).c_str(), 0), -1);
    tmp.WriteFile("c/" + std::string(255, 'd'), "x");
    EXPECT_EQ(_access(("C:\\" + std::string(255, 'd')).c_str(), 0), 0);
}

TEST_F(FileSystemTest, FolderWithTrailByte5CIsOneLevel)
{
    // C:\ソ表 : both second bytes are 0x5C; one folder, named in UTF-8.
    ASSERT_TRUE(CreateDirectoryA("C:\\\x83\x5C\x95\x5C", nullptr));
    EXPECT_TRUE(tmp.Exists("c/\xE3\x82\xBD\xE8\xA1\xA8"));
    EXPECT_FALSE(tmp.Exists("c/\x83"));
    EXPECT_TRUE(PathIsDirectoryA("C:\\\x83\x5C\x95\x5C\\"));
    ASSERT_TRUE(RemoveDirectoryA("C:\\\x83\x5C\x95\x5C"));
    EXPECT_FALSE(tmp.Exists("c/\xE3\x82\xBD\xE8\xA1\xA8"));
}

TEST_F(FileSystemTest, RemoveDirectoryOnlyRemovesEmptyFolders)
{
    tmp.MakeDir("c/a/b");
    tmp.WriteFile("c/f.txt", "x");
    EXPECT_FALSE(RemoveDirectoryA("C:\\a"));
    ExpectError(ERROR_DIR_NOT_EMPTY);
    EXPECT_TRUE(tmp.Exists("c/a/b"));
    EXPECT_FALSE(RemoveDirectoryA("C:\\f.txt"));
    ExpectError(ERROR_DIRECTORY);
    EXPECT_TRUE(tmp.Exists("c/f.txt"));
    EXPECT_FALSE(RemoveDirectoryA("C:\\nothing"));
    ExpectError(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(RemoveDirectoryA("C:\\nothing\\deeper"));
    ExpectError(ERROR_PATH_NOT_FOUND);
    // A drive's root is never removed.
    tmp.MakeDir("empty");
    DriveMap::SetForTesting("C=" + c + ";M=" + tmp / "empty", "");
    EXPECT_FALSE(RemoveDirectoryA("M:\\"));
    EXPECT_TRUE(tmp.Exists("empty"));
    ASSERT_TRUE(RemoveDirectoryA("C:\\a\\b\\"));
    ASSERT_TRUE(RemoveDirectoryA("C:\\A"));
    EXPECT_FALSE(tmp.Exists("c/a"));
}

TEST_F(FileSystemTest, AccessModesOnFilesFoldersAndDrives)
{
    tmp.WriteFile("c/rw.txt", "x");
    tmp.WriteFile("c/ro.txt", "x");
    ::chmod((tmp / "c/ro.txt").c_str(), 0444);
    for (int mode : {0, 2, 4, 6}) EXPECT_EQ(_access("C:\\rw.txt", mode), 0) << mode;
    // A read-only file: the write bit of its owner is what counts, so this
    // holds for root as well (root bypasses the permission bits themselves;
    // a file unreadable by permission cannot be tested as root).
    EXPECT_EQ(_access("C:\\ro.txt", 0), 0);
    EXPECT_EQ(_access("C:\\ro.txt", 4), 0);
    EXPECT_EQ(_access("C:\\ro.txt", 2), -1);
    EXPECT_EQ(_access("C:\\ro.txt", 6), -1);
    EXPECT_EQ(_access("C:\\none.txt", 0), -1);
    EXPECT_EQ(_access("C:\\rw.txt", 1), -1);
    EXPECT_EQ(_access(nullptr, 0), -1);
    // A FIFO or a device is no file: reported missing in every mode.
    ASSERT_EQ(::mkfifo((tmp / "c/fifo").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", (tmp / "c/zero").c_str()), 0);
    for (int mode : {0, 2, 4, 6}) {
        errno = 0;
        EXPECT_EQ(_access("C:\\fifo", mode), -1) << mode;
        EXPECT_EQ(errno, ENOENT) << mode;
        EXPECT_EQ(_access("C:\\zero", mode), -1) << mode;
    }
    // Roots of drives and shares.
    EXPECT_EQ(_access("C:\\", 6), 0);
    EXPECT_EQ(_access("\\\\srv\\pub", 6), 0);
    EXPECT_EQ(_access("\\\\srv\\none", 0), -1);
    EXPECT_EQ(_access("Q:\\", 0), 0);
    EXPECT_EQ(_access("Q:\\", 4), 0);
    EXPECT_EQ(_access("Q:\\", 6), -1);  // a CD-ROM is never writable
    EXPECT_EQ(_access("E:\\", 0), -1);  // removable drive whose folder is absent: no medium
    EXPECT_EQ(_access("D:\\", 0), -1);  // no mapping
}

TEST_F(FileSystemTest, AttributesExistenceAndDeletion)
{
    tmp.MakeDir("c/dir");
    tmp.WriteFile("c/f.txt", "x");
    tmp.WriteFile("c/ro.txt", "x");
    ::chmod((tmp / "c/ro.txt").c_str(), 0444);
    EXPECT_EQ(PathIsDirectoryA("C:\\dir"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(PathIsDirectoryA("C:\\f.txt"));
    EXPECT_FALSE(PathIsDirectoryA("C:\\gone"));
    EXPECT_TRUE(PathIsDirectoryA("\\\\srv\\pub"));
    EXPECT_FALSE(PathIsDirectoryA("D:\\"));

    EXPECT_FALSE(DeleteFileA("C:\\ro.txt"));
    ExpectError(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(DeleteFileA("C:\\dir"));
    ExpectError(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(DeleteFileA("C:\\gone"));
    ExpectError(ERROR_FILE_NOT_FOUND);
    ASSERT_TRUE(DeleteFileA("C:\\F.TXT"));
    EXPECT_FALSE(tmp.Exists("c/f.txt"));
}

// A new file's name is made by creating it exclusively: an entry of any kind
// at a name (a file, a link, a dangling link) is never opened or changed,
// and when every name is taken none is made.
TEST_F(FileSystemTest, TemporaryNamesAreCreatedNewAndNeverOpenAnEntry)
{
    namespace fs = std::filesystem;
    tmp.WriteFile("victim.txt", "precious");
    tmp.MakeDir("c/tmp");
    char name[MAX_PATH] = {};
    for (unsigned n = 1; n <= 0xFFFF; ++n) {
        if (n == 0x2A5) continue;
        char host[64];
        std::snprintf(host, sizeof host, "c/tmp/Zel%X.TMP", n);
        if (n % 3 == 0)
            fs::create_symlink(tmp / "victim.txt", tmp / host);
        else if (n % 3 == 1)
            fs::create_symlink(tmp / "nowhere.txt", tmp / host);
        else
            tmp.WriteFile(host, "taken");
    }
    // The prefix's first three characters; the one free name is taken.
    ASSERT_EQ(GetTempFileNameA("C:\\tmp", "Zelkora", 0, name), 0x2A5u);
    EXPECT_STREQ(name, "C:\\tmp\\Zel2A5.TMP");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(tmp / "c/tmp/Zel2A5.TMP")));
    EXPECT_EQ(fs::file_size(tmp / "c/tmp/Zel2A5.TMP"), 0u);
    EXPECT_EQ(GetTempFileNameA("C:\\tmp\\", "Zel", 0, name), 0u);
    ExpectError(ERROR_FILE_EXISTS);
    std::ifstream victim(tmp / "victim.txt");
    std::string text;
    victim >> text;
    EXPECT_EQ(text, "precious");
    EXPECT_FALSE(fs::exists(fs::symlink_status(tmp / "nowhere.txt")));
    EXPECT_EQ(std::ifstream(tmp / "c/tmp/Zel2.TMP").get(), 't');

    // A number given only forms the name.
    EXPECT_EQ(GetTempFileNameA("C:\\other", "ab", 0x1F, name), 0x1Fu);
    EXPECT_STREQ(name, "C:\\other\\ab1F.TMP");
    EXPECT_FALSE(tmp.Exists("c/other"));
    EXPECT_EQ(GetTempFileNameA("Y:\\", "Zel", 0, name), 0u);
}

// A new temporary file is its creator's alone, whatever the umask: what is
// written into it before it is given its final mode is nobody else's to open.
TEST_F(FileSystemTest, TemporaryFileIsPrivateWhateverTheUmask)
{
    tmp.MakeDir("c/tmp");
    for (const mode_t mask : {0000, 0022, 0077}) {
        const mode_t saved = ::umask(mask);
        char name[MAX_PATH] = {};
        const UINT number = GetTempFileNameA("C:\\tmp", "Zel", 0, name);
        ::umask(saved);
        ASSERT_NE(number, 0u);
        struct stat st = {};
        ASSERT_EQ(::stat((tmp / ("c/tmp/" + std::string(name + 7))).c_str(), &st), 0) << name;
        EXPECT_EQ(st.st_mode & 07777, 0600u) << "umask " << mask;
    }
    // Not on a CD-ROM.
    char name[MAX_PATH] = {};
    EXPECT_EQ(GetTempFileNameA("Q:\\disc", "Zel", 0, name), 0u);
    ExpectError(ERROR_ACCESS_DENIED);
}

// A replacement takes the replaced file's place with its identity: the bits,
// the group and the owner.
TEST_F(FileSystemTest, ReplaceFileKeepsTheReplacedFilesIdentity)
{
    tmp.WriteFile("c/settings.env", "old");
    tmp.WriteFile("c/new.tmp", "new");
    const std::string settings = tmp / "c/settings.env";
    ::chmod(settings.c_str(), 0640);
    ::chmod((tmp / "c/new.tmp").c_str(), 0600);
    const bool root = ::geteuid() == 0;
    if (root) {
        EXPECT_EQ(::chown(settings.c_str(), 2003, 2000), 0);
    }
    struct stat before = {};
    ASSERT_EQ(::stat(settings.c_str(), &before), 0);

    ASSERT_TRUE(ReplaceFileA("C:\\settings.env", "C:\\new.tmp", nullptr, 0, nullptr, nullptr));
    struct stat after = {};
    ASSERT_EQ(::stat(settings.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_FALSE(tmp.Exists("c/new.tmp"));
    std::ifstream in(settings);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "new");

    // What is no replacement of a file, or has none to replace.
    tmp.WriteFile("c/other.tmp", "x");
    EXPECT_FALSE(ReplaceFileA("C:\\missing.env", "C:\\other.tmp", nullptr, 0, nullptr, nullptr));
    ExpectError(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(ReplaceFileA("C:\\settings.env", "C:\\settings.env", nullptr, 0, nullptr, nullptr));
    EXPECT_FALSE(ReplaceFileA("C:\\settings.env", "C:\\other.tmp", "C:\\backup", 0, nullptr, nullptr));
    ExpectError(ERROR_INVALID_PARAMETER);
    std::filesystem::create_symlink(tmp / "c/other.tmp", tmp / "c/link.tmp");
    EXPECT_FALSE(ReplaceFileA("C:\\settings.env", "C:\\link.tmp", nullptr, 0, nullptr, nullptr));
    EXPECT_TRUE(std::filesystem::is_symlink(tmp / "c/link.tmp"));
}

// A writer that may not give the replacement the file's owner (any user but
// the owner and root) changes nothing: both files stay as they were.
TEST_F(FileSystemTest, ReplaceFileThatCannotKeepTheOwnerChangesNothing)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root, to act as two host users";
    if (const std::string closed = testtemp::ClosedToOthers(); !closed.empty()) GTEST_SKIP() << closed;
    tmp.WriteFile("c/settings.env", "old");
    tmp.WriteFile("c/new.tmp", "new");
    ::chmod(tmp.Path().c_str(), 0755);
    ::chmod(c.c_str(), 01777);
    const std::string settings = tmp / "c/settings.env";
    ASSERT_EQ(::chown(settings.c_str(), 2003, 2000), 0);
    ::chmod(settings.c_str(), 0666);
    ASSERT_EQ(::chown((tmp / "c/new.tmp").c_str(), 2001, 2001), 0);
    struct stat before = {};
    ASSERT_EQ(::stat(settings.c_str(), &before), 0);

    const pid_t pid = ::fork();
    if (pid == 0) {
        const gid_t groups[] = {2000};
        if (::setgroups(1, groups) != 0 || ::setresgid(2001, 2001, 2001) != 0 || ::setresuid(2001, 2001, 2001) != 0)
            _exit(90);
        const BOOL ok = ReplaceFileA("C:\\settings.env", "C:\\new.tmp", nullptr, 0, nullptr, nullptr);
        _exit(ok ? 91 : GetLastError() == ERROR_UNABLE_TO_REMOVE_REPLACED ? 0 : 92);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    struct stat after = {};
    ASSERT_EQ(::stat(settings.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, 2003u);
    EXPECT_TRUE(tmp.Exists("c/new.tmp"));
}

TEST_F(FileSystemTest, DriveTypeOfCurrentRoot)
{
    EXPECT_EQ(GetDriveTypeA(nullptr), static_cast<UINT>(DRIVE_FIXED));
    ASSERT_TRUE(SetCurrentDirectoryA("Q:\\disc"));
    EXPECT_EQ(GetDriveTypeA(nullptr), static_cast<UINT>(DRIVE_CDROM));
    ASSERT_TRUE(SetCurrentDirectoryA("\\\\srv\\pub"));
    EXPECT_EQ(GetDriveTypeA(nullptr), static_cast<UINT>(DRIVE_REMOTE));
}

struct RootCase {
    const char* path;
    const char* afterRoot;  // null: PathSkipRootA gives null
    const char* root;       // what PathStripToRootA leaves
    BOOL stripped;
};

TEST(ShellPath, SkipAndStripRoot)
{
    const RootCase cases[] = {
        {"C:\\data\\out.xml", "data\\out.xml", "C:\\", TRUE},
        {"c:/data", "data", "c:/", TRUE},
        {"C:\\", "", "C:\\", TRUE},
        {"\\\\srv\\share\\a\\b", "a\\b", "\\\\srv\\share", TRUE},
        {"\\\\srv\\share", "", "\\\\srv\\share", TRUE},
        {"\\\\srv\\share\\", "", "\\\\srv\\share", TRUE},
        {"\\dir\\x", "dir\\x", "\\", TRUE},
        {"C:out.xml", nullptr, "C:", FALSE},
        {"out.xml", nullptr, "", FALSE},
        {"", nullptr, "", FALSE},
        // Server and share names with a trail byte 0x5C: ソ and 表.
        {"\\\\\x83\x5C\\\x95\x5C\\x", "x", "\\\\\x83\x5C\\\x95\x5C", TRUE},
    };
    for (const auto& k : cases) {
        LPSTR after = PathSkipRootA(k.path);
        if (k.afterRoot) {
            ASSERT_NE(after, nullptr) << k.path;
            EXPECT_STREQ(after, k.afterRoot) << k.path;
        } else {
            EXPECT_EQ(after, nullptr) << k.path;
        }
        char buf[MAX_PATH + 1];
        std::strcpy(buf, k.path);
        EXPECT_EQ(PathStripToRootA(buf), k.stripped) << k.path;
        EXPECT_STREQ(buf, k.root) << k.path;
    }
    EXPECT_EQ(PathSkipRootA(nullptr), nullptr);
    EXPECT_FALSE(PathStripToRootA(nullptr));
}

}  // namespace
