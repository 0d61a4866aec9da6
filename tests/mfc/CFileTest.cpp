#include "mfc/Afx.h"
#include "tests/support/TestTemp.h"
#include "win32/DriveMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A fresh host folder per test, named by its Windows path through Z: (the host root).
class CFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_host = testtemp::Make("zk_cfile_");
    }
    void TearDown() override
    {
        DriveMap::SetForTesting("", "");
        std::system(("chmod -R u+w " + m_host + "; rm -rf " + m_host).c_str());
    }

    // The Windows path of a file in the folder (name in code page 932).
    CString Win(const char* name) const
    {
        std::string host = m_host;
        std::replace(host.begin(), host.end(), '/', '\\');
        CString p("Z:");
        p += host.c_str();
        p += '\\';
        p += name;
        return p;
    }
    // Creates (or empties) the file and writes `text` to it.
    static void Put(const CString& path, const std::string& text)
    {
        CFile f;
        ASSERT_TRUE(f.Open(path, CFile::modeCreate | CFile::modeWrite));
        f.Write(text.data(), static_cast<UINT>(text.size()));
    }
    // The host path of a file in the folder (name in code page 932, as literals are).
    std::string Host(const std::string& name) const { return m_host + "/" + mbcs::Cp932ToUtf8(name); }
    std::string ReadHost(const std::string& name) const
    {
        std::ifstream in(Host(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string m_host;
};

// The cause of the CFileException* that `action` throws (the object released),
// or -1 when it throws none.
template <typename F>
int CauseOf(F action)
{
    try {
        action();
    } catch (CFileException* e) {
        int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

}  // namespace

TEST_F(CFileTest, WriteReadRoundTripWithDoubleByteName)
{
    // 表 ends in 0x5C: the name must reach the host as one character, not a folder split.
    CString path = Win("\x95\x5C.xml");
    const char text[] = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<REPORT>\r\n";
    {
        CFile f;
        CFileException e;
        ASSERT_TRUE(f.Open(path, CFile::modeCreate | CFile::modeWrite, &e)) << e.m_cause;
        f.Write(text, sizeof text - 1);
        f.Write("\x8F\xC1", 2);
        f.Close();
        EXPECT_FALSE(f.IsOpen());
        f.Close();  // closing twice does nothing
    }
    EXPECT_EQ(ReadHost("表.xml"), std::string(text) + "\x8F\xC1");

    CFile f;
    ASSERT_TRUE(f.Open(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary));
    char buf[200] = {};
    EXPECT_EQ(f.Read(buf, 5), 5u);
    EXPECT_EQ(std::string(buf, 5), "<?xml");
    EXPECT_EQ(f.Read(buf, sizeof buf), sizeof text - 4);  // fewer bytes only at the end
    EXPECT_EQ(std::string(buf, sizeof text - 4), std::string(text + 5) + "\x8F\xC1");
    EXPECT_EQ(f.Read(buf, sizeof buf), 0u);
}

TEST_F(CFileTest, CreateTruncatesUnlessNoTruncate)
{
    CString path = Win("a.env");
    Put(path, "first line\n");
    {
        CFile f;
        ASSERT_TRUE(f.Open(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite));
        char buf[32];
        EXPECT_EQ(f.Read(buf, sizeof buf), 11u);  // kept, and read to its end
        f.Write("second\n", 7);
    }
    EXPECT_EQ(ReadHost("a.env"), "first line\nsecond\n");
    {
        CFile f;
        ASSERT_TRUE(f.Open(path, CFile::modeCreate | CFile::modeWrite));
    }
    EXPECT_EQ(ReadHost("a.env"), "");
}

TEST_F(CFileTest, OpenFailuresReportTheirCause)
{
    CFile f;
    CFileException e;
    EXPECT_FALSE(f.Open(Win("missing.txt"), CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(e.m_lOsError, ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(e.m_strFileName, Win("missing.txt"));

    EXPECT_FALSE(f.Open(Win("nodir\\x.txt"), CFile::modeCreate | CFile::modeWrite, &e));
    EXPECT_EQ(e.m_cause, CFileException::badPath);

    mkdir(Host("sub").c_str(), 0755);
    EXPECT_FALSE(f.Open(Win("sub"), CFile::modeRead, &e));  // a folder is no file
    EXPECT_EQ(e.m_cause, CFileException::accessDenied);
    EXPECT_FALSE(f.Open(Win("a*.txt"), CFile::modeCreate | CFile::modeWrite, &e));
    EXPECT_EQ(e.m_cause, CFileException::badPath);
    EXPECT_FALSE(f.IsOpen());
    EXPECT_FALSE(f.Open(nullptr, CFile::modeRead));
}

TEST_F(CFileTest, ExclusiveOpenersRefuseEachOther)
{
    CString path = Win("lock.env");
    CFile first;
    ASSERT_TRUE(first.Open(path, CFile::modeCreate | CFile::modeWrite));  // no sharing
    first.Write("keep", 4);
    CFile second;
    CFileException e;
    EXPECT_FALSE(second.Open(path, CFile::modeCreate | CFile::modeWrite, &e));
    EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
    EXPECT_FALSE(second.Open(path, CFile::modeRead | CFile::shareDenyNone, &e));
    first.Close();
    EXPECT_EQ(ReadHost("lock.env"), "keep");  // the refused create truncated nothing

    CFile r1;
    ASSERT_TRUE(r1.Open(path, CFile::modeRead | CFile::shareDenyNone));
    CFile r2;
    EXPECT_TRUE(r2.Open(path, CFile::modeRead | CFile::shareDenyWrite));
    EXPECT_FALSE(second.Open(path, CFile::modeReadWrite | CFile::shareExclusive, &e));
}

TEST_F(CFileTest, WriteErrorsAreThrown)
{
    // A full disk: a file that the host's file-size limit keeps at 4 bytes.
    CFile full;
    ASSERT_TRUE(full.Open(Win("full.xml"), CFile::modeCreate | CFile::modeWrite));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limit = saved;
    limit.rlim_cur = 4;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    try {
        full.Write("<REPORT>\r\n", 10);
        ADD_FAILURE() << "no exception";
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::diskFull);
        EXPECT_EQ(e->m_lOsError, ERROR_DISK_FULL);
        EXPECT_STREQ(e->m_strFileName, Win("full.xml"));
        e->Delete();
    }
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    full.Close();
    EXPECT_EQ(ReadHost("full.xml"), "<REP");  // what fitted stays

    // A write on a closed file.
    EXPECT_EQ(CauseOf([&] { full.Write("x", 1); }), CFileException::invalidFile);
    // A file opened for reading only.
    Put(Win("r.txt"), "");
    CFile r;
    ASSERT_TRUE(r.Open(Win("r.txt"), CFile::modeRead));
    EXPECT_EQ(CauseOf([&] { r.Write("x", 1); }), CFileException::accessDenied);
    r.Close();
    EXPECT_EQ(CauseOf([&] { r.Read(nullptr, 0); }), CFileException::invalidFile);
}

TEST_F(CFileTest, GetStatusOfFileAndFolder)
{
    Put(Win("s.txt"), "12345");
    CFileStatus st;
    ASSERT_TRUE(CFile::GetStatus(Win("s.txt"), st));
    EXPECT_EQ(st.m_size, 5u);
    EXPECT_EQ(st.m_attribute & FILE_ATTRIBUTE_DIRECTORY, 0);
    EXPECT_STREQ(st.m_szFullName, Win("s.txt"));

    mkdir(Host("フォルダ").c_str(), 0755);
    ASSERT_TRUE(CFile::GetStatus(Win("フォルダ"), st));
    EXPECT_EQ(st.m_attribute & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    ASSERT_TRUE(CFile::GetStatus(Win("フォルダ\\"), st));  // a trailing backslash
    EXPECT_EQ(st.m_attribute & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    // Windows resolves ".." by the text, also behind a folder that does not exist.
    ASSERT_TRUE(CFile::GetStatus(Win("nothere\\..\\s.txt"), st));
    EXPECT_STREQ(st.m_szFullName, Win("s.txt"));
    EXPECT_EQ(st.m_size, 5u);

    EXPECT_FALSE(CFile::GetStatus(Win("none.txt"), st));
    EXPECT_FALSE(CFile::GetStatus(Win("s.*"), st));  // no wildcard matching
    EXPECT_FALSE(CFile::GetStatus("Q:\\unmapped.txt", st));

    // A relative path is completed with the current folder.
    std::string old = DriveMap::CurrentDirectory();
    CString dir = Win("");
    ASSERT_TRUE(DriveMap::SetCurrentDirectory(std::string(dir.Left(dir.GetLength() - 1)), nullptr));
    bool found = CFile::GetStatus("s.txt", st);
    CFile rel;
    bool opened = rel.Open("s.txt", CFile::modeRead);
    ASSERT_TRUE(DriveMap::SetCurrentDirectory(old, nullptr));
    ASSERT_TRUE(found);
    EXPECT_STREQ(st.m_szFullName, Win("s.txt"));
    EXPECT_TRUE(opened);
}

// Only regular files are files: a device through a mapped drive, or a FIFO,
// cannot be opened in any mode, and opening never waits for a FIFO's other
// end. GetStatus still reports them, so the user can be asked about them.
TEST_F(CFileTest, DevicesAndFifosAreNoFiles)
{
    DriveMap::SetForTesting("D=/dev;Y=" + m_host, "");
    ASSERT_EQ(mkfifo(Host("fifo").c_str(), 0644), 0);
    const UINT modes[] = {CFile::modeRead | CFile::shareDenyNone, CFile::modeWrite,
                          CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, CFile::modeReadWrite};
    for (const char* path : {"D:\\full", "D:\\zero", "D:\\null", "Y:\\fifo"}) {
        for (UINT mode : modes) {
            SCOPED_TRACE(std::string(path) + " mode " + std::to_string(mode));
            CFile f;
            CFileException e;
            EXPECT_FALSE(f.Open(path, mode, &e));
            EXPECT_EQ(e.m_cause, CFileException::accessDenied);
            EXPECT_FALSE(f.IsOpen());
        }
    }
    {
        // With a reader at the FIFO's other end, opening it for writing would succeed on the host.
        const int reader = open(Host("fifo").c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        CFile f;
        EXPECT_FALSE(f.Open("Y:\\fifo", CFile::modeCreate | CFile::modeWrite));
        close(reader);
    }
    struct stat st;
    ASSERT_EQ(lstat(Host("fifo").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));  // not replaced by a file
    CFileStatus status;
    EXPECT_TRUE(CFile::GetStatus("Y:\\fifo", status));

    CFileException e;
    CFile f;
    EXPECT_FALSE(f.Open("E:\\out.xml", CFile::modeCreate | CFile::modeWrite, &e));  // no such drive
    EXPECT_EQ(e.m_cause, CFileException::badPath);
}

// A process that writes past its file-size limit with the limit's signal at
// its default action gets a diskFull exception and lives on, with no signal
// left pending to strike later; nothing prepares the process. The same
// write made directly on the host ends such a process, so the limit and the
// signal are real.
TEST_F(CFileTest, FileSizeLimitIsAFullDiskWithoutPreparation)
{
    for (bool direct : {false, true}) {
        SCOPED_TRACE(direct ? "host write" : "CFile::Write");
        const char* name = direct ? "direct.txt" : "cfile.txt";
        const CString path = Win(name);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            signal(SIGXFSZ, SIG_DFL);
            CFile f;
            if (!f.Open(path, CFile::modeCreate | CFile::modeWrite)) _exit(10);
            rlimit limit{3, 3};
            setrlimit(RLIMIT_FSIZE, &limit);
            if (direct) {
                const int fd = open(Host(name).c_str(), O_WRONLY | O_APPEND);
                if (write(fd, "abcdef", 6) != 3) _exit(13);
                (void)!write(fd, "g", 1);  // past the limit: SIGXFSZ
                _exit(14);
            }
            try {
                f.Write("abcdef", 6);
            } catch (CFileException* e) {
                const bool full = e->m_cause == CFileException::diskFull;
                e->Delete();
                sigset_t pending;
                sigpending(&pending);
                _exit(!full ? 11 : sigismember(&pending, SIGXFSZ) ? 15 : 0);
            }
            _exit(12);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (direct) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "status " << status;
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        }
        EXPECT_EQ(ReadHost(name), "abc");
    }
}

TEST_F(CFileTest, ReadOnlyFilesAndCdromDrives)
{
    Put(Win("ro.txt"), "abc");
    ASSERT_EQ(chmod(Host("ro.txt").c_str(), 0444), 0);
    CFileStatus st;
    ASSERT_TRUE(CFile::GetStatus(Win("ro.txt"), st));
    EXPECT_EQ(st.m_attribute & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
    // Refused for every user, root included, and nothing is truncated.
    CFile f;
    CFileException e;
    EXPECT_FALSE(f.Open(Win("ro.txt"), CFile::modeCreate | CFile::modeWrite, &e));
    EXPECT_EQ(e.m_cause, CFileException::accessDenied);
    EXPECT_EQ(ReadHost("ro.txt"), "abc");
    EXPECT_TRUE(f.Open(Win("ro.txt"), CFile::modeRead));
    f.Close();

    DriveMap::SetForTesting("Q=" + m_host + ":cdrom", "");
    ASSERT_TRUE(CFile::GetStatus("Q:\\ro.txt", st));
    EXPECT_FALSE(f.Open("Q:\\new.txt", CFile::modeCreate | CFile::modeWrite, &e));
    EXPECT_EQ(e.m_cause, CFileException::accessDenied);
    EXPECT_FALSE(CFile::GetStatus("Q:\\new.txt", st));
}
