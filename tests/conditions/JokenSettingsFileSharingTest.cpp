// The remembered-conditions file in a folder that others use too: names
// planted beside it, entries that are no regular files, and writers that
// meet.
#include "conditions/JokenSettingsFile.h"
#include "tests/support/TestTemp.h"

#include "TestDrives.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <future>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

class JokenSettingsFileSharingTest : public SettingsFileDrives {
protected:
    void SetUp() override
    {
        SettingsFileDrives::SetUp();
        fs::create_directories(HostFile().parent_path());
    }

    static JokenSettingsFile::Conditions Values(short start, const char* path)
    {
        JokenSettingsFile::Conditions c;
        c.nStartMonth = start;
        c.nEndMonth = start;
        std::strcpy(c.szPath, path);
        return c;
    }

    fs::path LockFile() const { return HostFile().string() + ".lock"; }

    // A file outside the settings folder that a planted link points at.
    fs::path Victim(const std::string& bytes) const
    {
        const fs::path victim = root_ / "victim.txt";
        std::ofstream(victim, std::ios::binary) << bytes;
        return victim;
    }

    static std::string Bytes(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // Runs `op` on another thread; when it has not returned after `limit`,
    // records the failure and releases a FIFO it may wait on, so the test ends.
    template <typename Op>
    static auto WithinTimeLimit(Op op, const fs::path& fifo, std::chrono::milliseconds limit = std::chrono::seconds(3))
    {
        auto done = std::async(std::launch::async, op);
        if (done.wait_for(limit) == std::future_status::timeout) {
            ADD_FAILURE() << "blocked on " << fifo;
            const int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
            done.wait();
            if (fd >= 0) ::close(fd);
        }
        return done.get();
    }
};

TEST_F(JokenSettingsFileSharingTest, EntriesPlantedBesideTheFileAreNeitherFollowedNorRemoved)
{
    SetContents("A:0/1/1/0/0/0/a\n");
    const fs::path victim = Victim("precious\n");
    const fs::path nowhere = root_ / "nowhere.txt";
    fs::create_directories(root_ / "elsewhere");
    // Links at the names that writers used to take for their new content and
    // their turns: to a file, dangling, to a folder.
    fs::create_symlink(victim, NewFile());
    fs::create_symlink(nowhere, LockFile());
    fs::create_directory_symlink(root_ / "elsewhere", HostFile().string() + ".tmp");

    // A new key's line, then a replaced one.
    ASSERT_TRUE(File().Write("K:", Values(4, "k")));
    ASSERT_TRUE(File().Write("K:", Values(5, "k")));
    EXPECT_EQ(Contents(), "A:0/1/1/0/0/0/a\nK:0/5/5/0/0/0/k\n");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(HostFile())));
    EXPECT_EQ(Bytes(victim), "precious\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status(nowhere)));
    EXPECT_TRUE(fs::is_empty(root_ / "elsewhere"));
    EXPECT_TRUE(fs::is_symlink(NewFile()));
    EXPECT_TRUE(fs::is_symlink(LockFile()));
    // Nothing else is left beside the file.
    EXPECT_EQ(std::distance(fs::directory_iterator(HostFile().parent_path()), fs::directory_iterator()), 4);
}

TEST_F(JokenSettingsFileSharingTest, SettingsFileThatIsALinkIsNeitherReadNorWrittenThrough)
{
    const fs::path victim = Victim("K:0/1/1/0/0/0/theirs\n");
    fs::create_symlink(victim, HostFile());
    JokenSettingsFile::Conditions out = Values(9, "untouched");
    EXPECT_FALSE(File().Read("K:", out));
    EXPECT_STREQ(out.szPath, "untouched");
    EXPECT_FALSE(File().Write("K:", Values(2, "mine")));
    EXPECT_EQ(Bytes(victim), "K:0/1/1/0/0/0/theirs\n");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(HostFile())));
}

TEST_F(JokenSettingsFileSharingTest, PipesNeverBlockReaderOrWriter)
{
    // The settings file is a FIFO: nothing is remembered, nothing written.
    ASSERT_EQ(::mkfifo(HostFile().c_str(), 0666), 0);
    JokenSettingsFile::Conditions out = Values(9, "untouched");
    EXPECT_FALSE(WithinTimeLimit([&] { return File().Read("K:", out); }, HostFile()));
    EXPECT_STREQ(out.szPath, "untouched");
    EXPECT_FALSE(WithinTimeLimit([&] { return File().Write("K:", Values(1, "k")); }, HostFile()));
    EXPECT_TRUE(fs::is_fifo(HostFile()));
    fs::remove(HostFile());

    // FIFOs beside the file are nobody's business of the writer: neither
    // opened nor removed.
    ASSERT_EQ(::mkfifo(LockFile().c_str(), 0666), 0);
    ASSERT_EQ(::mkfifo(NewFile().c_str(), 0666), 0);
    EXPECT_TRUE(WithinTimeLimit([&] { return File().Write("K:", Values(2, "k")); }, NewFile()));
    EXPECT_TRUE(WithinTimeLimit([&] { return File().Write("K:", Values(3, "k")); }, LockFile()));
    EXPECT_EQ(Contents(), "K:0/3/3/0/0/0/k\n");
    EXPECT_TRUE(fs::is_fifo(LockFile()));
    EXPECT_TRUE(fs::is_fifo(NewFile()));
}

TEST_F(JokenSettingsFileSharingTest, WriterGivesUpWhenItsTurnDoesNotComeWithinTheWait)
{
    SetContents("A:0/1/1/0/0/0/a\n");
    // Another process's writer holds the turn (a plain host lock on the file).
    const int holder = ::open(HostFile().c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    const JokenSettingsFile patient("C:\\cfg\\", "Zelkora.env", 400);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(patient.Write("K:", Values(3, "k")));
    const auto waited = std::chrono::steady_clock::now() - start;
    // The wait is counted in whole milliseconds of the tick count, so the real
    // time may fall short of the bound by less than one tick.
    EXPECT_GE(waited, std::chrono::milliseconds(399));
    EXPECT_LT(waited, std::chrono::seconds(3));
    EXPECT_EQ(Contents(), "A:0/1/1/0/0/0/a\n");
    // A reader waits for the turn no longer than the writer, then reads.
    JokenSettingsFile::Conditions out;
    EXPECT_TRUE(patient.Read("A:", out));

    // A turn that comes within the wait is taken.
    std::thread release([holder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        ::close(holder);
    });
    EXPECT_TRUE(patient.Write("K:", Values(3, "k")));
    release.join();
    EXPECT_EQ(Contents(), "A:0/1/1/0/0/0/a\nK:0/3/3/0/0/0/k\n");
}

TEST_F(JokenSettingsFileSharingTest, WritersThatMeetKeepEveryUsersLatestLine)
{
    constexpr int kWriters = 8;
    constexpr int kRounds = 12;
    std::vector<std::thread> writers;
    std::atomic<int> failed{0};
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([this, w, &failed] {
            const std::string key = "U" + std::to_string(w) + "/D:";
            for (short round = 1; round <= kRounds; ++round)
                if (!File().Write(key.c_str(), Values(round, "p"))) ++failed;
        });
    }
    for (std::thread& t : writers) t.join();
    EXPECT_EQ(failed, 0);
    for (int w = 0; w < kWriters; ++w) {
        JokenSettingsFile::Conditions out;
        const std::string key = "U" + std::to_string(w) + "/D:";
        ASSERT_TRUE(File().Read(key.c_str(), out)) << key << "\n" << Contents();
        EXPECT_EQ(out.nStartMonth, kRounds) << key;
    }
    const std::string all = Contents();
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), kWriters) << all;
}

// Another member of the office (uid 2001 of group 2000) writes a settings
// file of uid 2003 in a sticky folder, where the file cannot be replaced:
// the rewrite in place keeps the file, its owner and mode, every other line
// byte for byte and in its place; the new line takes the old one's place.
TEST_F(JokenSettingsFileSharingTest, RewriteInPlaceKeepsTheFileAndEveryOtherLine)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root, to write as another host user";
    if (const std::string closed = testtemp::ClosedToOthers(); !closed.empty()) GTEST_SKIP() << closed;
    for (const fs::path& level : {root_, root_ / "c"}) ::chmod(level.c_str(), 0755);
    ::chmod(HostFile().parent_path().c_str(), 01777);
    SetContents("A:0/1/1/0/0/0/a\nK:0/1/1/0/0/0/k\nB:0/2/2/0/0/0/b");
    ASSERT_EQ(::chown(HostFile().c_str(), 2003, 2000), 0);
    ASSERT_EQ(::chmod(HostFile().c_str(), 0664), 0);
    struct stat before = {};
    ASSERT_EQ(::stat(HostFile().c_str(), &before), 0);

    const pid_t pid = ::fork();
    if (pid == 0) {
        const gid_t groups[] = {2000};
        if (::setgroups(1, groups) != 0 || ::setresgid(2001, 2001, 2001) != 0 || ::setresuid(2001, 2001, 2001) != 0)
            _exit(90);
        ::umask(077);
        _exit(File().Write("K:", Values(2, "k")) ? 0 : 91);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);

    EXPECT_EQ(Contents(), "A:0/1/1/0/0/0/a\nK:0/2/2/0/0/0/k\nB:0/2/2/0/0/0/b\n");
    struct stat after = {};
    ASSERT_EQ(::stat(HostFile().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, 2003u);
    EXPECT_EQ(after.st_gid, 2000u);
    EXPECT_EQ(after.st_mode & 07777, 0664u);
    JokenSettingsFile::Conditions out;
    ASSERT_TRUE(File().Read("K:", out));
    EXPECT_EQ(out.nStartMonth, 2);
    EXPECT_TRUE(File().Read("B:", out));
    EXPECT_EQ(out.nStartMonth, 2);

    // A writer that can replace the file with its identity puts a new file
    // in its place.
    ASSERT_TRUE(File().Write("A:", Values(3, "a")));
    EXPECT_EQ(Contents(), "K:0/2/2/0/0/0/k\nB:0/2/2/0/0/0/b\nA:0/3/3/0/0/0/a\n");
    ASSERT_EQ(::stat(HostFile().c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, 2003u);
    EXPECT_EQ(after.st_gid, 2000u);
    EXPECT_EQ(after.st_mode & 07777, 0664u);
    EXPECT_EQ(std::distance(fs::directory_iterator(HostFile().parent_path()), fs::directory_iterator()), 1);
}

// The file a run has just exported is never written into, by whatever name
// it is given; a write for another export goes on.
TEST_F(JokenSettingsFileSharingTest, TheRunsOwnExportIsNeverWrittenInto)
{
    const std::string exported = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<REPORT>\r\n</REPORT>\r\n";
    SetContents(exported);
    fs::create_hard_link(HostFile(), root_ / "c" / "linked.xml");
    for (const char* name : {"C:\\cfg\\Zelkora.env", "c:\\CFG\\zelkora.ENV", "C:\\linked.xml"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(File().Write("K:", Values(1, "k"), name));
        EXPECT_EQ(Contents(), exported);
    }
    EXPECT_TRUE(File().Write("K:", Values(1, "k"), "C:\\elsewhere.xml"));
    EXPECT_EQ(Contents(), exported + "K:0/1/1/0/0/0/k\n");
}

// A first write that the disk stops leaves no file where there was none.
TEST_F(JokenSettingsFileSharingTest, FailedFirstWriteLeavesNoFile)
{
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit none = saved;
    none.rlim_cur = 0;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &none), 0);
    const BOOL written = File().Write("K:", Values(1, "k"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(written);
    EXPECT_EQ(Contents(), "<none>");
    EXPECT_TRUE(fs::is_empty(HostFile().parent_path()));
}

}  // namespace
