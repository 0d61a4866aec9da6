// The remembered-conditions file changed in place, as every writer changes it
// that cannot put a new file in its place. An access list on the file (an
// entry for another user) keeps even its owner, and root, from that step, so
// these tests meet the in-place writer as whoever runs them.
#include "conditions/JokenSettingsFile.h"

#include "TestDrives.h"
#include "tests/support/FuzzText.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cerrno>
#include <cstring>
#include <future>
#include <map>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Conditions = JokenSettingsFile::Conditions;
using Failure = JokenSettingsFile::Failure;

// A line of the file and whether it is free (spaces only, or hidden behind a
// NUL): what the writer may take back.
struct FileLine {
    std::string bytes;
    bool free;
};

std::vector<FileLine> LinesOf(const std::string& file)
{
    std::vector<FileLine> lines;
    for (size_t at = 0; at < file.size();) {
        const size_t lf = file.find('\n', at);
        const size_t next = lf == std::string::npos ? file.size() : lf + 1;
        const std::string body = file.substr(at, (lf == std::string::npos ? file.size() : lf) - at);
        const bool free = !body.empty() && (body[0] == '\0' || body.find_first_not_of(' ') == std::string::npos);
        lines.push_back({file.substr(at, next - at), free});
        at = next;
    }
    return lines;
}

// The bytes of the file's lines that are no free lines.
size_t LiveBytes(const std::string& file)
{
    size_t live = 0;
    for (const FileLine& l : LinesOf(file))
        if (!l.free) live += l.bytes.size();
    return live;
}

class JokenSettingsFileInPlaceTest : public SettingsFileDrives {
protected:
    void SetUp() override
    {
        SettingsFileDrives::SetUp();
        fs::create_directories(HostFile().parent_path());
        SetContents("");
        if (!GiveAccessList())
            GTEST_SKIP() << "the file system of the temporary folder keeps no access lists: " << std::strerror(errno);
    }

    static Conditions Values(short start, const std::string& path)
    {
        Conditions c;
        c.nStartMonth = start;
        c.nEndMonth = start;
        std::memcpy(c.szPath, path.c_str(), path.size() + 1);
        return c;
    }
    static std::string Line(const std::string& key, short start, const std::string& path)
    {
        return key + "0/" + std::to_string(start) + "/" + std::to_string(start) + "/0/0/0/" + path + "\n";
    }

    // The file with `bytes` and an access list that gives uid 2001 what the
    // group has: a copy of the bits would lose that entry, so no writer puts
    // a new file in the file's place.
    void SetShared(const std::string& bytes) const
    {
        SetContents(bytes);
        ASSERT_TRUE(GiveAccessList()) << std::strerror(errno);
    }
    bool GiveAccessList() const
    {
        struct Entry {
            uint16_t tag, perm;
            uint32_t id;
        };
        struct {
            uint32_t version = 2;
            Entry entries[5] = {{0x01, 6, ~0u}, {0x02, 6, 2001}, {0x04, 6, ~0u}, {0x10, 6, ~0u}, {0x20, 4, ~0u}};
        } acl;
        return ::chmod(HostFile().c_str(), 0664) == 0 &&
               ::setxattr(HostFile().c_str(), "system.posix_acl_access", &acl, sizeof acl, 0) == 0;
    }
    bool HasAccessList() const
    {
        return ::getxattr(HostFile().c_str(), "system.posix_acl_access", nullptr, 0) > 0;
    }
};

// Where the old line leaves room for the new one, the new line ends up in
// its place; the other lines keep their bytes and their places.
TEST_F(JokenSettingsFileInPlaceTest, NewLineTakesTheOldLinesPlace)
{
    const std::string a = Line("A:", 1, "a"), b = Line("B:", 2, "b");
    SetShared(a + Line("K:", 1, "kkkk") + b);
    struct stat before = {};
    ASSERT_EQ(::stat(HostFile().c_str(), &before), 0);

    // As long as the old one: in its place exactly.
    ASSERT_TRUE(File().Write("K:", Values(2, "mmmm")));
    EXPECT_EQ(Contents(), a + Line("K:", 2, "mmmm") + b);
    // Shorter by more than a byte: in its place, the rest a line of spaces.
    ASSERT_TRUE(File().Write("K:", Values(3, "n")));
    EXPECT_EQ(Contents(), a + Line("K:", 3, "n") + "  \n" + b);
    // Longer: at the end, the old place blank until a line fits it.
    ASSERT_TRUE(File().Write("K:", Values(4, "pppppppp")));
    EXPECT_EQ(Contents(), a + std::string(18, ' ') + "\n" + b + Line("K:", 4, "pppppppp"));
    // A new key's line that fits the blank place goes there.
    ASSERT_TRUE(File().Write("C:", Values(5, "c")));
    EXPECT_EQ(Contents(), a + Line("C:", 5, "c") + "  \n" + b + Line("K:", 4, "pppppppp"));

    struct stat after = {};
    ASSERT_EQ(::stat(HostFile().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_TRUE(HasAccessList());
}

// Lines hidden behind a NUL by writes that did not end, and runs of blanked
// lines, are taken back by the next write of any key; the last lines move
// forward into the space, and the end is cut off.
TEST_F(JokenSettingsFileInPlaceTest, HiddenAndBlankedLinesAreTakenBackByTheNextWrite)
{
    const std::string a = Line("A:", 1, "a"), k = Line("K:", 1, "k");
    std::string hidden = Line("X:", 7, "cut short");
    hidden[0] = '\0';
    std::string hiddenK = Line("K:", 2, "k2");
    hiddenK[0] = '\0';
    SetShared(a + hidden + "   \n" + "     \n" + k + hiddenK);

    ASSERT_TRUE(File().Write("L:", Values(1, "l")));
    const std::string file = Contents();
    EXPECT_EQ(file.find('\0'), std::string::npos) << file;
    // L moved into the joined space, then K after it, and the end is cut.
    EXPECT_EQ(file, a + Line("L:", 1, "l") + k);
    Conditions out;
    ASSERT_TRUE(File().Read("K:", out));
    EXPECT_STREQ(out.szPath, "k");
    EXPECT_FALSE(File().Read("X:", out));
}

// Lines hidden behind a NUL, of whatever length, never hold up the next
// write of the key they were meant for, and a key written with the values it
// has keeps its one line.
TEST_F(JokenSettingsFileInPlaceTest, SameValuesAgainChangeNothingButTheFreeLines)
{
    const std::string a = Line("A:", 1, "a"), k = Line("K:", 1, "k");
    SetShared(a + k);
    ASSERT_TRUE(File().Write("K:", Values(1, "k")));
    EXPECT_EQ(Contents(), a + k);
    std::string hidden = k;
    hidden[0] = '\0';
    SetShared(a + hidden + k);
    ASSERT_TRUE(File().Write("K:", Values(1, "k")));
    EXPECT_EQ(Contents(), a + k);
}

// A move killed between its copy and the cut leaves a line twice. The later
// copy, which no reader takes, is cut off by the next write that finds it
// last; where another line came after it, the next write of its key drops
// both and writes one.
TEST_F(JokenSettingsFileInPlaceTest, CopyThatAKilledMoveLeftGoes)
{
    const std::string a = Line("A:", 1, "a"), b = Line("B:", 2, "b"), k = Line("K:", 1, "k");
    SetShared(a + b + std::string(20, ' ') + "\n" + a);
    ASSERT_TRUE(File().Write("K:", Values(1, "k")));
    EXPECT_EQ(Contents(), a + b + k);

    SetShared(a + b + a);
    ASSERT_TRUE(File().Write("K:", Values(1, "k")));
    EXPECT_EQ(Contents(), a + b + a + k);
    ASSERT_TRUE(File().Write("A:", Values(3, "a")));
    EXPECT_EQ(Contents(), Line("A:", 3, "a") + b + k);
}

// Many writes of keys whose lines change their lengths all the time: every
// key reads its last values after every write, and the file never holds
// more than twice its lines of keys plus a few kilobytes, nor a free line at
// its end, nor a hidden one.
TEST_F(JokenSettingsFileInPlaceTest, RandomWritesStayReadableAndSmall)
{
    const uint32_t seed = fuzz::Seed(0x5EED0301u);
    fuzz::Gen g(seed);
    SetShared("");
    std::vector<std::string> keys;
    for (int i = 0; i < 12; ++i) keys.push_back("user" + std::to_string(i) + "/{" + std::string(34, 'd') + "}:");
    std::map<std::string, std::pair<short, std::string>> latest;
    size_t largest = 0;
    for (int n = 0; n < fuzz::Cases(800); ++n) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " write " + std::to_string(n));
        const std::string key = keys[static_cast<size_t>(g.Int(0, g.Chance(70) ? 3 : 11))];
        const short start = static_cast<short>(g.Int(1, 12));
        const std::string path = "C:\\" + std::string(static_cast<size_t>(g.Int(0, 257)), 'p');
        Failure why = Failure::None;
        ASSERT_TRUE(File().Write(key.c_str(), Values(start, path), nullptr, &why))
            << JokenSettingsFile::FailureText(why);
        latest[key] = {start, path};

        const std::string file = Contents();
        largest = std::max(largest, file.size());
        ASSERT_LE(file.size(), 2 * LiveBytes(file) + 4096) << file;
        ASSERT_EQ(file.find('\0'), std::string::npos);
        ASSERT_FALSE(LinesOf(file).back().free);
        for (const auto& [k, v] : latest) {
            Conditions out;
            ASSERT_TRUE(File().Read(k.c_str(), out)) << k;
            ASSERT_EQ(out.nStartMonth, v.first) << k;
            ASSERT_EQ(std::string(out.szPath), v.second) << k;
        }
    }
    EXPECT_TRUE(HasAccessList());
    // Twelve lines of at most about 330 bytes.
    EXPECT_LT(largest, 12u * 330u * 2u + 4096u);
}

// A file that blanked lines grew up to its bound (as writers of an earlier
// version left it) comes back to the size of its lines with the next write;
// every other line stays byte for byte.
TEST_F(JokenSettingsFileInPlaceTest, FileGrownToItsBoundComesBack)
{
    std::string others;
    for (int i = 0; i < 20; ++i) others += Line("other" + std::to_string(i) + ":", 3, "C:\\o" + std::to_string(i));
    std::string grown = others + Line("K:", 1, "old");
    std::string hidden = Line("K:", 9, "killed");
    hidden[0] = '\0';
    grown += hidden;
    const std::string blank = std::string(69, ' ') + "\n";
    while (grown.size() + blank.size() + 300 <= JokenSettingsFile::kMaxFileSize) grown += blank;
    grown += Line("last:", 4, "C:\\last");
    ASSERT_GT(grown.size(), JokenSettingsFile::kMaxFileSize - 400);
    SetShared(grown);

    ASSERT_TRUE(File().Write("K:", Values(2, "C:\\" + std::string(212, 'n'))));
    const std::string file = Contents();
    EXPECT_LE(file.size(), LiveBytes(file) + 100) << file.size();
    EXPECT_EQ(file.find('\0'), std::string::npos);
    for (const FileLine& l : LinesOf(others + Line("last:", 4, "C:\\last")))
        EXPECT_NE(file.find(l.bytes), std::string::npos) << l.bytes;
    Conditions out;
    ASSERT_TRUE(File().Read("K:", out));
    EXPECT_EQ(out.nStartMonth, 2);
}

// Lines of keys up to 230 bytes short of the bound: a new key's longer line
// is refused and says why, the file stays as it was; a key whose new line
// fits the room is written and the file keeps its size.
TEST_F(JokenSettingsFileInPlaceTest, FileOfLinesUpToItsBoundTakesNoLongerLine)
{
    const size_t target = JokenSettingsFile::kMaxFileSize - 230;
    std::string full;
    int i = 0;
    for (; target - full.size() > 400; ++i) full += Line("u" + std::to_string(i) + ":", 1, "C:\\" + std::string(200, 'f'));
    for (const int half : {0, 1}) {
        const std::string key = "u" + std::to_string(i++) + ":";
        const size_t room = half == 0 ? (target - full.size()) / 2 : target - full.size();
        full += Line(key, 1, std::string(room - key.size() - 13, 'h'));
    }
    ASSERT_EQ(full.size(), target);
    SetShared(full);
    Failure why = Failure::None;
    EXPECT_FALSE(File().Write("new:", Values(1, "C:\\" + std::string(250, 'n')), nullptr, &why));
    EXPECT_EQ(why, Failure::Full);
    EXPECT_EQ(Contents(), full);
    ASSERT_TRUE(File().Write("u0:", Values(1, "C:\\" + std::string(200, 'g')), nullptr, &why))
        << JokenSettingsFile::FailureText(why);
    EXPECT_EQ(Contents().size(), target);
    Conditions out;
    ASSERT_TRUE(File().Read("u0:", out));
    EXPECT_EQ(out.szPath[3], 'g');
}

// A reader waits for a writer's turn under way, and after its wait reads the
// file as it is.
TEST_F(JokenSettingsFileInPlaceTest, ReaderWaitsForATurnUnderWay)
{
    SetContents(Line("K:", 1, "k"));
    const int holder = ::open(HostFile().c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    auto read = std::async(std::launch::async, [this] {
        Conditions out;
        return File().Read("K:", out) ? out.nStartMonth : short(0);
    });
    // The turn is held: the reader has not read (its wait is a second).
    EXPECT_EQ(read.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    // A write of the turn, then its end.
    SetContents(Line("K:", 2, "k"));
    ::close(holder);
    EXPECT_EQ(read.get(), 2);

    // A turn held past the wait: the reader reads the file as it is.
    const int stuck = ::open(HostFile().c_str(), O_RDONLY);
    ASSERT_GE(stuck, 0);
    ASSERT_EQ(::flock(stuck, LOCK_EX), 0);
    Conditions out;
    EXPECT_TRUE(File().Read("K:", out));
    EXPECT_EQ(out.nStartMonth, 2);
    ::close(stuck);
}

// Each reason a write does not remember the conditions is told.
TEST_F(JokenSettingsFileInPlaceTest, EveryFailureSaysWhy)
{
    Failure why = Failure::None;
    Conditions longPath;
    std::memset(longPath.szPath, 'p', sizeof longPath.szPath);
    EXPECT_FALSE(File().Write("K:", longPath, nullptr, &why));
    EXPECT_EQ(why, Failure::NotStorable);
    EXPECT_FALSE(JokenSettingsFile("", "Zelkora.env").Write("K:", Values(1, "k"), nullptr, &why));
    EXPECT_EQ(why, Failure::NoFolder);

    SetContents(Line("K:", 1, "k"));
    EXPECT_FALSE(File().Write("K:", Values(1, "k"), "C:\\cfg\\Zelkora.env", &why));
    EXPECT_EQ(why, Failure::OwnExport);

    const int holder = ::open(HostFile().c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    EXPECT_FALSE(JokenSettingsFile("C:\\cfg\\", "Zelkora.env", 50).Write("K:", Values(2, "k"), nullptr, &why));
    EXPECT_EQ(why, Failure::NoTurn);
    ::close(holder);

    SetContents(std::string(JokenSettingsFile::kMaxFileSize + 1, 'x'));
    EXPECT_FALSE(File().Write("K:", Values(2, "k"), nullptr, &why));
    EXPECT_EQ(why, Failure::TooLarge);

    fs::remove(HostFile());
    fs::create_directory(HostFile());
    EXPECT_FALSE(File().Write("K:", Values(2, "k"), nullptr, &why));
    EXPECT_EQ(why, Failure::NotOpened);
    for (const Failure f : {Failure::NotStorable, Failure::NoFolder, Failure::NotOpened, Failure::NoTurn,
                            Failure::OwnExport, Failure::TooLarge, Failure::NotRead, Failure::Full,
                            Failure::NotWritten})
        EXPECT_GT(std::strlen(JokenSettingsFile::FailureText(f)), 10u);

    fs::remove(HostFile());
    EXPECT_TRUE(File().Write("K:", Values(2, "k"), nullptr, &why));
    EXPECT_EQ(why, Failure::None);
}

}  // namespace
