// The size of a shared settings file through the built deliverables, as host
// users who do not own the file write it: it stays as small as its lines,
// whoever writes it and however a writer ends; the lines a killed write hid
// are taken back; the new content is private while it is written; an access
// list on the file is kept; a writer held between its open and its lock while
// the file is replaced writes the new file; a run that cannot remember its
// conditions says why. Runs as other users need root; without it those
// tests are skipped and say why.
#include "RunChecks.h"
#include "RunHarness.h"
#include "SharedDrive.h"

#include "win32/Mbcs.h"

#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <memory>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace e2e;
using HostUser = RunHarness::HostUser;

constexpr unsigned kOffice = 2000;
constexpr unsigned kOwner = 2003;
HostUser Member(unsigned uid, unsigned mask = 002) { return HostUser{uid, uid, {kOffice}, mask}; }

const std::string kOtherLine = "someone/{0000000000000000000000000000000}:1/4/3/0/2/1/S:\\theirs.xml\n";

// An export of months `start` to `end` to `path`, ended with the closing
// message.
std::string ExportTo(const std::string& path, int start = 5, int end = 2)
{
    return "type 1014 " + std::to_string(start) + "\ntype 1016 " + std::to_string(end) + "\ntype 1008 " + path +
           "\nkey F12\nanswer OK\n";
}

// A Windows path on C: of exactly `bytes` bytes, ending in `tag` and ".xml".
std::string LongPath(size_t bytes, const std::string& tag)
{
    return "C:\\" + std::string(bytes - 3 - tag.size() - 4, 'p') + tag + ".xml";
}

struct FileLine {
    std::string bytes;
    bool free;  // spaces only, or hidden behind a NUL
};

std::vector<FileLine> SplitLines(const std::string& file)
{
    std::vector<FileLine> lines;
    for (size_t at = 0; at < file.size();) {
        const size_t lf = file.find('\n', at);
        const size_t next = lf == std::string::npos ? file.size() : lf + 1;
        const std::string body = file.substr(at, (lf == std::string::npos ? file.size() : lf) - at);
        lines.push_back({file.substr(at, next - at),
                         !body.empty() && (body[0] == '\0' || body.find_first_not_of(' ') == std::string::npos)});
        at = next;
    }
    return lines;
}

size_t LiveBytes(const std::string& file)
{
    size_t live = 0;
    for (const FileLine& l : SplitLines(file))
        if (!l.free) live += l.bytes.size();
    return live;
}

bool HasFreeLine(const std::string& file)
{
    for (const FileLine& l : SplitLines(file))
        if (l.free) return true;
    return false;
}

// The line a reader takes for `user`: the first that begins with the user's
// key ("" when there is none).
std::string ReadersLine(const std::string& file, const std::string& user)
{
    for (const FileLine& l : SplitLines(file))
        if (l.bytes.rfind(user + "/", 0) == 0) return l.bytes;
    return "";
}

// A run as `user` that completes its export to `path`.
void ExportAs(RunHarness& h, const std::string& path, int start = 5, int end = 2)
{
    h.WriteScript(ExportTo(path, start, end));
    const RunResult r = h.Run({});
    ASSERT_EQ(r.exitStatus, 0) << r.stderrText << r.transcript;
    ASSERT_FALSE(r.messages.empty()) << r.transcript;
    ASSERT_NE(r.messages.back().find(Quoted(kCompleted)), std::string::npos) << r.transcript;
}

int Exports()
{
    const char* text = std::getenv("ZK_SETTINGS_EXPORTS");
    return text && *text ? std::atoi(text) : 4000;
}

// Two members of the office who do not own the file export in turn, each to
// a new 212-byte path: every export is remembered, and the file never holds
// more than twice its lines plus a few kilobytes. (ZK_SETTINGS_EXPORTS sets
// another number of exports, for a slower build.)
TEST(SharedSettingsSize, AlternatingExportsOfTwoOtherUsersStayBounded)
{
    if (!CanRunAsOtherUsers()) GTEST_SKIP() << WhyNotAsOtherUsers();
    SharedDrive shared;
    shared.MakeOfficeFolder(03777, kOffice, kOwner, kOtherLine);
    RunHarness a, b;
    shared.Equip(a, "sato");
    shared.Equip(b, "tanaka");
    const HostUser userA = Member(2001, 002), userB = Member(2002, 077);
    a.RunAs(&userA);
    b.RunAs(&userB);
    size_t largest = 0;
    for (int n = 0; n < Exports(); ++n) {
        SCOPED_TRACE("export " + std::to_string(n));
        RunHarness& h = n % 2 == 0 ? a : b;
        const std::string user = n % 2 == 0 ? "sato" : "tanaka";
        char tag[16];
        std::snprintf(tag, sizeof tag, "%05d", n);
        const std::string path = LongPath(212, tag);
        // Months from any month to the period's last (March).
        ASSERT_NO_FATAL_FAILURE(ExportAs(h, path, 1 + n % 12, 3));
        fs::remove(h.DriveC(path.substr(3)));

        const std::string file = ReadFile(shared.File());
        largest = std::max(largest, file.size());
        ASSERT_TRUE(EndsWith(ReadersLine(file, user), "/" + path + "\n")) << file;
        ASSERT_LE(file.size(), 2 * LiveBytes(file) + 4096) << file;
    }
    const std::string file = ReadFile(shared.File());
    EXPECT_EQ(file.compare(0, kOtherLine.size(), kOtherLine), 0) << file;
    EXPECT_EQ(file.find('\0'), std::string::npos);
    struct stat st = {};
    ASSERT_EQ(::stat(shared.File().c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, kOwner);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
    // Each one's next run offers their last path.
    for (RunHarness* h : {&a, &b}) {
        h->WriteScript("key ESCAPE\nanswer OK\n");
        const RunResult r = h->Run({});
        const int last = Exports() - (h == &a ? 2 : 1);
        char tag[16];
        std::snprintf(tag, sizeof tag, "%05d", last);
        EXPECT_NE(ControlLine(r.transcript, 1008).find(tag), std::string::npos) << ControlLine(r.transcript, 1008);
    }
    std::cout << "largest settings file: " << largest << " bytes\n";
}

// The key of `user`'s line, learnt from a first export into a folder of its
// own (the data ID is the sample dataset's).
std::string KeyOf(const std::string& user)
{
    SharedDrive own;
    RunHarness h;
    own.Equip(h, user);
    h.WriteScript(ExportTo("C:\\first.xml"));
    const RunResult r = h.Run({});
    EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
    const std::string line = ReadersLine(ReadFile(own.File()), user);
    return line.substr(0, line.find(':') + 1);
}

std::string LineOf(const std::string& key, const std::string& path, int start = 5)
{
    return key + "0/" + std::to_string(start) + "/2/0/1/0/" + path + "\n";
}

std::string Hidden(std::string line)
{
    line[0] = '\0';
    return line;
}

// A file of root's that blanked lines grew to within 300 bytes of its bound
// (with a line a killed write hid): the next export of a member of the office
// is remembered, and the file comes back to the size of its lines, every
// other line kept byte for byte.
TEST(SharedSettingsSize, GrownFileOfRootComesBackWithAnotherUsersNextExport)
{
    if (!CanRunAsOtherUsers()) GTEST_SKIP() << WhyNotAsOtherUsers();
    const std::string sato = KeyOf("sato");
    std::string others = kOtherLine;
    for (int i = 0; i < 20; ++i) others += "user" + std::to_string(i) + "/{X}:0/4/3/0/1/0/C:\\o" + std::to_string(i) + ".xml\n";
    const std::string last = "last/{Y}:0/2/2/0/1/0/C:\\l.xml\n";
    std::string grown = others + LineOf(sato, "C:\\old.xml") + Hidden(LineOf(sato, "C:\\killed.xml"));
    const std::string blank = std::string(69, ' ') + "\n";
    while (grown.size() + blank.size() + last.size() + 300 <= 1024 * 1024) grown += blank;
    grown += last;
    ASSERT_GE(grown.size(), 1024u * 1024u - 300u - blank.size());
    SharedDrive shared;
    shared.MakeOfficeFolder(03777, kOffice, 0, grown);
    RunHarness a;
    shared.Equip(a, "sato");
    const HostUser member = Member(2001, 077);
    a.RunAs(&member);
    const std::string path = LongPath(212, "new");
    ASSERT_NO_FATAL_FAILURE(ExportAs(a, path));

    const std::string file = ReadFile(shared.File());
    EXPECT_LT(file.size(), 4096u);
    EXPECT_EQ(file.size(), LiveBytes(file));
    EXPECT_EQ(file.find('\0'), std::string::npos);
    EXPECT_EQ(ReadersLine(file, "sato"), LineOf(sato, path));
    for (const FileLine& l : SplitLines(others + last)) EXPECT_NE(file.find(l.bytes), std::string::npos) << l.bytes;
    struct stat st = {};
    ASSERT_EQ(::stat(shared.File().c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 0u);
}

// Without whole-file locks two members in turn keep the file bounded too.
TEST(SharedSettingsSize, WithoutLocksTheFileStaysBounded)
{
    if (!CanRunAsOtherUsers()) GTEST_SKIP() << WhyNotAsOtherUsers();
    SharedDrive shared;
    shared.MakeOfficeFolder(03777, kOffice, kOwner, kOtherLine);
    RunHarness a, b;
    const std::vector<std::string> noLocks = {"LD_PRELOAD=" + HostShimPath(), "ZK_SHIM_FLOCK_ERRNO=" + std::to_string(ENOLCK)};
    shared.Equip(a, "sato", noLocks);
    shared.Equip(b, "tanaka", noLocks);
    const HostUser userA = Member(2001), userB = Member(2002);
    a.RunAs(&userA);
    b.RunAs(&userB);
    for (int n = 0; n < 60; ++n) {
        SCOPED_TRACE("export " + std::to_string(n));
        RunHarness& h = n % 2 == 0 ? a : b;
        // Paths of changing lengths.
        const std::string path = LongPath(100 + (n * 37) % 150, std::to_string(n));
        ASSERT_NO_FATAL_FAILURE(ExportAs(h, path));
        fs::remove(h.DriveC(path.substr(3)));
        const std::string file = ReadFile(shared.File());
        ASSERT_TRUE(EndsWith(ReadersLine(file, n % 2 == 0 ? "sato" : "tanaka"), "/" + path + "\n")) << file;
        ASSERT_LE(file.size(), 2 * LiveBytes(file) + 4096) << file;
        ASSERT_EQ(file.compare(0, kOtherLine.size(), kOtherLine), 0) << file;
    }
}

// A member's write of a file it does not own is killed at each of its writes
// and truncations in turn: a reuse of a free line, the blanking of the old
// one, hidden lines taken back, another user's line moved forward, the end
// cut off. Each time every line stays readable (the member's the old or the
// new one), a reader's run offers one of the two, and the next write of
// another member leaves nothing hidden and no line lost.
TEST(SharedSettingsKills, KillAtEachCallOfAReuseOrACompactionLeavesEveryLine)
{
    if (!CanRunAsOtherUsers()) GTEST_SKIP() << WhyNotAsOtherUsers();
    const std::string sato = KeyOf("sato");
    const std::string last = "last/{Y}:0/2/2/0/1/0/C:\\l.xml\n";
    const std::string oldLine = LineOf(sato, "C:\\old.xml");
    const std::string newLine = LineOf(sato, "C:\\new.xml");
    const std::string before = kOtherLine + std::string(199, ' ') + "\n" + oldLine +
                               Hidden(LineOf(sato, "C:\\cut.xml")) + last;
    SharedDrive shared;
    RunHarness a, b;
    shared.Equip(a, "sato");
    shared.Equip(b, "tanaka");
    const HostUser userA = Member(2001, 077), userB = Member(2002, 002);
    a.RunAs(&userA);
    b.RunAs(&userB);
    int completedWrites = 0, completedCuts = 0, completedBeforeCuts = 0;
    for (const std::string call : {"AT_WRITE", "BEFORE_TRUNCATE", "AFTER_TRUNCATE"}) {
        int& completedAt = call == "AT_WRITE" ? completedWrites : call == "AFTER_TRUNCATE" ? completedCuts
                                                                                          : completedBeforeCuts;
        for (int at = 1; at <= 40 && completedAt == 0; ++at) {
            SCOPED_TRACE("killed at " + call + " " + std::to_string(at));
            shared.MakeOfficeFolder(03777, kOffice, kOwner, before);
            fs::remove(a.DriveC("new.xml"));
            fs::remove(b.DriveC("b.xml"));
            shared.Environment(a, {"LD_PRELOAD=" + HostShimPath(), "ZK_SHIM_KILL_" + call + "=" + std::to_string(at),
                                   "ZK_SHIM_KILL_MATCH=" + shared.Folder() + "/"});
            a.WriteScript(ExportTo("C:\\new.xml"));
            const RunResult r = a.Run({});
            if (r.exitStatus == 0) completedAt = at;

            std::string file = ReadFile(shared.File());
            EXPECT_EQ(file.compare(0, kOtherLine.size(), kOtherLine), 0) << file;
            EXPECT_EQ(ReadersLine(file, "last"), last) << file;
            const std::string mine = ReadersLine(file, "sato");
            EXPECT_TRUE(mine == oldLine || mine == newLine) << file;
            if (completedAt) {
                EXPECT_EQ(file, kOtherLine + newLine + last);
            }
            // A reader's run offers the old path or the new one.
            shared.Environment(a, {});
            a.WriteScript("key ESCAPE\nanswer OK\n");
            const std::string offered = ControlLine(a.Run({}).transcript, 1008);
            EXPECT_TRUE(offered.find("old.xml") != std::string::npos || offered.find("new.xml") != std::string::npos)
                << offered;
            // The next write of another member takes back what the kill left.
            ASSERT_NO_FATAL_FAILURE(ExportAs(b, "C:\\b.xml"));
            file = ReadFile(shared.File());
            EXPECT_EQ(file.find('\0'), std::string::npos) << file;
            EXPECT_FALSE(HasFreeLine(file) && file.size() > LiveBytes(file) + 200) << file;
            EXPECT_EQ(ReadersLine(file, "last"), last) << file;
            EXPECT_NE(file.find(kOtherLine), std::string::npos) << file;
            EXPECT_EQ(ReadersLine(file, "sato"), mine) << file;
            EXPECT_TRUE(EndsWith(ReadersLine(file, "tanaka"), "/C:\\b.xml\n")) << file;
        }
    }
    // The kills met every call of a whole write (there are several of each).
    std::cout << "a whole write: " << completedWrites - 1 << " writes, " << completedCuts - 1 << " truncations\n";
    EXPECT_GT(completedWrites, 8);
    EXPECT_GT(completedCuts, 2);
    EXPECT_EQ(completedBeforeCuts, completedCuts);
}

// A new line is hidden behind its NUL while it is written: a kill in the
// middle of it leaves no cut path that the next run could offer.
TEST(SharedSettingsKills, NewLineCutShortByAKillIsNeverOffered)
{
    SharedDrive shared;
    fs::create_directories(shared.Folder());
    std::ofstream(shared.File(), std::ios::binary) << kOtherLine;
    RunHarness a;
    shared.Equip(a, "sato", {"LD_PRELOAD=" + HostShimPath(), "ZK_SHIM_KILL_AT_WRITE=1",
                             "ZK_SHIM_KILL_MATCH=" + shared.Folder() + "/"});
    a.WriteScript(ExportTo(LongPath(212, "cut")));
    const RunResult killed = a.Run({});
    ASSERT_EQ(killed.endSignal, SIGKILL) << killed.stderrText;
    const std::string file = ReadFile(shared.File());
    ASSERT_GT(file.size(), kOtherLine.size() + 50) << "the kill came before the line";
    EXPECT_EQ(ReadersLine(file, "sato"), "") << file;

    shared.Environment(a, {});
    a.WriteScript("key ESCAPE\nanswer OK\n");
    const RunResult reader = a.Run({});
    EXPECT_EQ(ControlLine(reader.transcript, 1008).find("ppp"), std::string::npos)
        << ControlLine(reader.transcript, 1008);
    // The next write takes the hidden line back.
    ASSERT_NO_FATAL_FAILURE(ExportAs(a, "C:\\whole.xml"));
    const std::string mended = ReadFile(shared.File());
    EXPECT_EQ(mended.find('\0'), std::string::npos) << mended;
    EXPECT_TRUE(EndsWith(mended, "/C:\\whole.xml\n")) << mended;
}

struct Crowd {
    mode_t folder;
    const char* edition;
};

class SharedSettingsCrowd : public ::testing::TestWithParam<Crowd> {};

// Eight members of the office export at once, five times each, on a sticky
// or a setgid folder, in both editions: every member's last line is there,
// and the file is bounded.
TEST_P(SharedSettingsCrowd, EightUsersAtOnceLoseNothingAndStayBounded)
{
    if (!CanRunAsOtherUsers()) GTEST_SKIP() << WhyNotAsOtherUsers();
    const std::string edition = GetParam().edition;
    const std::string name = edition + ".env";
    SharedDrive shared;
    shared.MakeOfficeFolder(GetParam().folder, kOffice, kOwner, kOtherLine, name);
    constexpr int kUsers = 8, kRounds = 5;
    std::vector<std::unique_ptr<RunHarness>> machines;
    std::vector<HostUser> users;
    for (int u = 0; u < kUsers; ++u) {
        machines.push_back(std::make_unique<RunHarness>(edition));
        shared.Equip(*machines.back(), "member" + std::to_string(u));
        users.push_back(Member(2010 + u, u % 2 ? 077 : 002));
    }
    for (int u = 0; u < kUsers; ++u) machines[u]->RunAs(&users[u]);
    std::atomic<int> failed{0};
    std::vector<std::thread> threads;
    for (int u = 0; u < kUsers; ++u)
        threads.emplace_back([&, u] {
            for (int round = 0; round < kRounds; ++round) {
                const std::string path = LongPath(60 + 20 * u + 3 * round, std::to_string(round));
                machines[u]->WriteScript(ExportTo(path));
                if (machines[u]->Run({}).exitStatus != 0) ++failed;
            }
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(failed, 0);
    const std::string file = ReadFile(shared.File(name));
    EXPECT_EQ(file.compare(0, kOtherLine.size(), kOtherLine), 0) << file;
    for (int u = 0; u < kUsers; ++u) {
        const std::string path = LongPath(60 + 20 * u + 3 * (kRounds - 1), std::to_string(kRounds - 1));
        EXPECT_TRUE(EndsWith(ReadersLine(file, "member" + std::to_string(u)), "/" + path + "\n")) << u << "\n" << file;
    }
    EXPECT_LE(file.size(), 2 * LiveBytes(file) + 4096) << file;
    EXPECT_EQ(file.find('\0'), std::string::npos);
    struct stat st = {};
    ASSERT_EQ(::stat(shared.File(name).c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, kOwner);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
}

INSTANTIATE_TEST_SUITE_P(Folders, SharedSettingsCrowd,
                         ::testing::Values(Crowd{01777, "Zelkora"}, Crowd{02775, "Zelkora"}, Crowd{01777, "Zelkorb"},
                                           Crowd{02775, "Zelkorb"}),
                         [](const auto& info) {
                             return std::string(info.param.edition) +
                                    (info.param.folder == 01777 ? "_sticky" : "_setgid");
                         });

// The owner's new content is private while it is written, whatever the
// owner's umask: a kill in the middle of its first write leaves that file
// behind with mode 0600, and the settings file as it was.
TEST(SharedSettingsReplacement, NewContentIsPrivateWhileItIsWritten)
{
    if (!CanRunAsOtherUsers()) GTEST_SKIP() << "a run as the file's owner with umask 000 needs root";
    SharedDrive shared;
    // A blanked line: the owner's write puts a new file in place.
    const std::string before = kOtherLine + std::string(20, ' ') + "\n";
    shared.MakeOfficeFolder(02777, kOffice, kOwner, before);
    RunHarness owner;
    shared.Equip(owner, "kanri", {"LD_PRELOAD=" + HostShimPath(), "ZK_SHIM_KILL_AT_WRITE=1", "ZK_SHIM_KILL_MATCH=.TMP"});
    const HostUser user = Member(kOwner, 000);
    owner.RunAs(&user);
    owner.WriteScript(ExportTo("C:\\o.xml"));
    const RunResult r = owner.Run({});
    ASSERT_EQ(r.endSignal, SIGKILL) << r.stderrText;
    EXPECT_EQ(ReadFile(shared.File()), before);
    int left = 0;
    for (const auto& entry : fs::directory_iterator(shared.Folder())) {
        if (entry.path().extension() != ".TMP") continue;
        ++left;
        struct stat st = {};
        ASSERT_EQ(::stat(entry.path().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u) << entry.path();
        EXPECT_EQ(st.st_uid, kOwner);
    }
    EXPECT_EQ(left, 1);
    // A whole write gives the file its mode, group and owner.
    shared.Environment(owner, {});
    fs::remove(owner.DriveC("o.xml"));
    ASSERT_NO_FATAL_FAILURE(ExportAs(owner, "C:\\o.xml"));
    struct stat st = {};
    ASSERT_EQ(::stat(shared.File().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
    EXPECT_EQ(st.st_gid, kOffice);
    EXPECT_EQ(ReadFile(shared.File()).find(std::string(20, ' ')), std::string::npos);
}

// An access list on the file gives a user outside the office's group write
// access: the owner's writes keep it (and the file's size), so that user's
// export is still remembered.
TEST(SharedSettingsAccessList, OwnersWritesKeepAnotherUsersEntry)
{
    if (!CanRunAsOtherUsers()) GTEST_SKIP() << WhyNotAsOtherUsers();
    SharedDrive shared;
    shared.MakeOfficeFolder(0775, kOffice, kOwner, kOtherLine);
    ASSERT_EQ(::chmod(shared.File().c_str(), 0640), 0);
    constexpr unsigned kGuest = 2020;
    struct Entry {
        uint16_t tag, perm;
        uint32_t id;
    };
    struct {
        uint32_t version = 2;
        Entry entries[5] = {{0x01, 6, ~0u}, {0x02, 6, kGuest}, {0x04, 4, ~0u}, {0x10, 6, ~0u}, {0x20, 0, ~0u}};
    } acl;
    if (::setxattr(shared.File().c_str(), "system.posix_acl_access", &acl, sizeof acl, 0) != 0)
        GTEST_SKIP() << "the file system of the temporary folder keeps no access lists: " << std::strerror(errno);
    RunHarness owner, guest;
    shared.Equip(owner, "kanri");
    shared.Equip(guest, "guest");
    const HostUser ownerUser = Member(kOwner), guestUser{kGuest, kGuest, {}, 022};
    owner.RunAs(&ownerUser);
    guest.RunAs(&guestUser);
    ASSERT_NO_FATAL_FAILURE(ExportAs(guest, "C:\\g1.xml"));
    size_t size = 0;
    for (int n = 0; n < 10; ++n) {
        ASSERT_NO_FATAL_FAILURE(ExportAs(owner, "C:\\owner" + std::to_string(n % 10) + ".xml"));
        if (n == 0) size = ReadFile(shared.File()).size();
        EXPECT_EQ(ReadFile(shared.File()).size(), size) << n;
    }
    ASSERT_NO_FATAL_FAILURE(ExportAs(guest, "C:\\g2.xml"));
    const std::string file = ReadFile(shared.File());
    EXPECT_TRUE(EndsWith(ReadersLine(file, "guest"), "/C:\\g2.xml\n")) << file;
    EXPECT_TRUE(EndsWith(ReadersLine(file, "kanri"), "/C:\\owner9.xml\n")) << file;
    EXPECT_GT(::getxattr(shared.File().c_str(), "system.posix_acl_access", nullptr, 0), 0);
}

// A member's writer that opened the file and is held before its lock while
// the owner puts a new file in place takes its turn on the new file: both
// lines are there. The shim holds the writer until the owner is done.
TEST(SharedSettingsTurns, WriterHeldBeforeItsLockWhileTheFileIsReplacedWritesTheNewFile)
{
    if (!CanRunAsOtherUsers()) GTEST_SKIP() << WhyNotAsOtherUsers();
    SharedDrive shared;
    // A blanked line: the owner's write puts a new file in place.
    shared.MakeOfficeFolder(02775, kOffice, kOwner, kOtherLine + std::string(20, ' ') + "\n");
    const std::string sync = shared.Root() + "/sync";
    fs::create_directories(sync);
    fs::permissions(sync, fs::perms::all);
    const std::string marker = sync + "/held";
    RunHarness member, owner;
    shared.Equip(member, "sato", {"LD_PRELOAD=" + HostShimPath(), "ZK_SHIM_PAUSE_LOCK=" + marker,
                                  "ZK_SHIM_PAUSE_MATCH=" + shared.File()});
    shared.Equip(owner, "kanri");
    const HostUser memberUser = Member(2001), ownerUser = Member(kOwner);
    member.RunAs(&memberUser);
    owner.RunAs(&ownerUser);
    struct stat before = {};
    ASSERT_EQ(::stat(shared.File().c_str(), &before), 0);

    member.WriteScript(ExportTo("C:\\member.xml"));
    RunResult held;
    std::thread run([&] { held = member.Run({}, 60000); });
    // Wait for the member's writer to be held (at most 30 s).
    for (int waited = 0; waited < 3000 && !fs::exists(marker); ++waited) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const bool wasHeld = fs::exists(marker);
    if (wasHeld) {
        ExportAs(owner, "C:\\owner.xml");
        struct stat after = {};
        EXPECT_EQ(::stat(shared.File().c_str(), &after), 0);
        EXPECT_NE(after.st_ino, before.st_ino) << "the owner's write put no new file in place";
    }
    fs::remove(marker);
    run.join();
    ASSERT_TRUE(wasHeld) << "the member's writer was never held";
    ASSERT_EQ(held.exitStatus, 0) << held.stderrText;
    const std::string file = ReadFile(shared.File());
    EXPECT_TRUE(EndsWith(ReadersLine(file, "kanri"), "/C:\\owner.xml\n")) << file;
    EXPECT_TRUE(EndsWith(ReadersLine(file, "sato"), "/C:\\member.xml\n")) << file;
}

// A run whose conditions cannot be remembered completes all the same, and
// standard error says so, and why, in one line.
TEST(SharedSettingsNotRemembered, TheRunCompletesAndSaysWhyInOneLine)
{
    const std::string notRemembered = mbcs::Cp932ToUtf8("今回の集計条件は記憶されませんでした");
    struct Case {
        const char* name;
        const char* reason;  // code page 932
    };
    for (const Case c : {Case{"held", "待ち時間を過ぎました"}, Case{"full", "空きがありません"},
                         Case{"folder", "開けません"}}) {
        SCOPED_TRACE(c.name);
        SharedDrive shared;
        fs::create_directories(shared.Folder());
        std::string full;
        for (int i = 0; full.size() < 1024 * 1024 - 200; ++i)
            full += "u" + std::to_string(i) + "/{X}:0/1/1/0/0/0/C:\\" + std::string(200, 'f') + "\n";
        if (std::string(c.name) == "folder")
            fs::create_directories(shared.File());
        else
            std::ofstream(shared.File(), std::ios::binary) << (std::string(c.name) == "full" ? full : kOtherLine);
        RunHarness h;
        shared.Equip(h, "sato");
        int holder = -1;
        if (std::string(c.name) == "held") {
            holder = ::open(shared.File().c_str(), O_RDONLY);
            ASSERT_EQ(::flock(holder, LOCK_EX), 0);
        }
        h.WriteScript(ExportTo(LongPath(212, "x")));
        const RunResult r = h.Run({});
        if (holder >= 0) ::close(holder);
        ASSERT_EQ(r.exitStatus, 0) << r.stderrText;
        EXPECT_NE(r.messages.back().find(Quoted(kCompleted)), std::string::npos) << r.transcript;
        EXPECT_EQ(Count(r.stderrText, notRemembered), 1) << r.stderrText;
        const size_t at = r.stderrText.find(notRemembered);
        const std::string line = r.stderrText.substr(at, r.stderrText.find('\n', at) - at);
        EXPECT_NE(line.find(mbcs::Cp932ToUtf8(c.reason)), std::string::npos) << line;
        EXPECT_NE(line.find("Zelkora.env"), std::string::npos) << line;
    }
}

}  // namespace
