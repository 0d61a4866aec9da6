// The remembered conditions through the built deliverables on a settings
// folder that several host users share, as an office's network edition has
// it: spare uids of one group, each with its own umask, on setgid, plain and
// sticky folders; file systems without locks; exports that name the files of
// the settings folder; first runs that create the folder together; a kill at
// every write of the settings writer. Runs as other users need root (CI runs
// as root); without it those tests are skipped and say why.
#include "RunChecks.h"
#include "RunHarness.h"
#include "SharedDrive.h"

#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace e2e;
using HostUser = RunHarness::HostUser;

// The office: a group, its users (each with a primary group of their own)
// and the user who once made the settings file.
constexpr unsigned kOffice = 2000;
constexpr unsigned kOwner = 2003;
HostUser Member(unsigned uid, unsigned mask) { return HostUser{uid, uid, {kOffice}, mask}; }

// The line of another user that every write must keep byte for byte.
const std::string kOtherLine = "someone/{0000000000000000000000000000000}:1/4/3/0/2/1/S:\\theirs.xml\n";

std::string ExportTo(const std::string& path) { return "type 1014 5\ntype 1016 2\ntype 1008 " + path + "\nkey F12\nanswer OK\n"; }

// The lines of the file that begin with `user`'s key.
std::vector<std::string> LinesOf(const std::string& file, const std::string& user)
{
    std::vector<std::string> lines;
    for (size_t at = 0; at < file.size();) {
        const size_t lf = file.find('\n', at);
        const size_t next = lf == std::string::npos ? file.size() : lf + 1;
        if (file.compare(at, user.size() + 2, user + "/{") == 0) lines.push_back(file.substr(at, next - at));
        at = next;
    }
    return lines;
}

struct Mode {
    mode_t bits;
    const char* name;
};

class SharedFolderUsers : public ::testing::TestWithParam<Mode> {};

// Each of three members of the office (two of them, then the file's owner)
// writes twice, in turn, with the same umask, on a folder of the mode under
// test: every line is kept and readable, and the file keeps its mode, group
// and owner.
TEST_P(SharedFolderUsers, EveryUserKeepsAndSavesTheirLine)
{
    if (!CanRunAsOtherUsers()) GTEST_SKIP() << WhyNotAsOtherUsers();
    for (const unsigned mask : {002u, 022u, 027u, 077u}) {
        SCOPED_TRACE("folder " + std::string(GetParam().name) + " umask 0" + std::to_string(mask / 8) +
                     std::to_string(mask % 8));
        SharedDrive shared;
        shared.MakeOfficeFolder(GetParam().bits, kOffice, kOwner, kOtherLine);
        RunHarness a, b, owner;
        shared.Equip(a, "sato");
        shared.Equip(b, "tanaka");
        shared.Equip(owner, "kanri");
        const HostUser userA = Member(2001, mask), userB = Member(2002, mask), userOwner = Member(kOwner, mask);
        a.RunAs(&userA);
        b.RunAs(&userB);
        owner.RunAs(&userOwner);

        // Two rounds: a new line each, then each line replaced, the owner's
        // last.
        for (const std::string round : {"1", "2"}) {
            const std::vector<RunHarness*> order =
                round == "1" ? std::vector<RunHarness*>{&owner, &a, &b} : std::vector<RunHarness*>{&a, &b, &owner};
            for (RunHarness* h : order) {
                const std::string who = h == &owner ? "owner" : h == &a ? "a" : "b";
                h->WriteScript(ExportTo("C:\\" + who + round + ".xml"));
                const RunResult r = h->Run({});
                ASSERT_EQ(r.exitStatus, 0) << who << " " << r.stderrText;
                ASSERT_EQ(r.messages.size(), 1u) << r.transcript;
            }
        }
        // The owner's second write came last; then each sees their line.
        struct stat st = {};
        ASSERT_EQ(::stat(shared.File().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0664u);
        EXPECT_EQ(st.st_gid, kOffice);
        EXPECT_EQ(st.st_uid, kOwner);
        const std::string file = ReadFile(shared.File());
        EXPECT_EQ(file.compare(0, kOtherLine.size(), kOtherLine), 0) << file;
        for (const auto& [user, path] : {std::pair{"sato", "C:\\a2.xml"}, {"tanaka", "C:\\b2.xml"},
                                         {"kanri", "C:\\owner2.xml"}}) {
            const std::vector<std::string> lines = LinesOf(file, user);
            ASSERT_EQ(lines.size(), 1u) << user << "\n" << file;
            EXPECT_TRUE(EndsWith(lines[0], std::string(":0/5/2/0/1/0/") + path + "\n")) << file;
        }
        // The owner's last write put a new file in place: the lines the
        // others blanked are gone, the owner's line is the last.
        EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 4) << file;
        EXPECT_TRUE(EndsWith(file, ":0/5/2/0/1/0/C:\\owner2.xml\n")) << file;
        for (RunHarness* h : {&a, &b, &owner}) {
            const std::string who = h == &owner ? "owner" : h == &a ? "a" : "b";
            h->WriteScript("key ESCAPE\nanswer OK\n");
            const RunResult r = h->Run({});
            EXPECT_NE(ControlLine(r.transcript, 1008).find(who + "2.xml"), std::string::npos)
                << who << ": " << ControlLine(r.transcript, 1008);
        }
        // Nothing of the writers is left beside the file.
        EXPECT_EQ(std::distance(fs::directory_iterator(shared.Folder()), fs::directory_iterator()), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, SharedFolderUsers,
                         ::testing::Values(Mode{02775, "2775"}, Mode{0775, "0775"}, Mode{03777, "3777"}),
                         [](const auto& info) { return std::string("mode") + info.param.name; });

// Where the file's owner is no member of the file's group (a setgid folder
// gave the file its group), even the owner's write keeps the group, in place.
TEST(SharedFolderOwner, OwnerOutsideTheFilesGroupKeepsTheGroup)
{
    if (!CanRunAsOtherUsers()) GTEST_SKIP() << WhyNotAsOtherUsers();
    SharedDrive shared;
    shared.MakeOfficeFolder(02775, kOffice, kOwner, kOtherLine);
    RunHarness owner;
    shared.Equip(owner, "kanri");
    const HostUser outsider{kOwner, kOwner, {}, 077};
    owner.RunAs(&outsider);
    for (const std::string round : {"1", "2"}) {
        owner.WriteScript(ExportTo("C:\\owner" + round + ".xml"));
        const RunResult r = owner.Run({});
        ASSERT_EQ(r.exitStatus, 0) << r.stderrText;
    }
    struct stat st = {};
    ASSERT_EQ(::stat(shared.File().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
    EXPECT_EQ(st.st_gid, kOffice);
    const std::string file = ReadFile(shared.File());
    EXPECT_EQ(file.compare(0, kOtherLine.size(), kOtherLine), 0) << file;
    ASSERT_EQ(LinesOf(file, "kanri").size(), 1u) << file;
    EXPECT_TRUE(EndsWith(file, ":0/5/2/0/1/0/C:\\owner2.xml\n")) << file;
}

// A file system without whole-file locks: each of two users in turn, with a
// new line and a replaced one, is remembered.
TEST(SharedFolderWithoutLocks, ConditionsAreRememberedWithoutTurns)
{
    for (const int err : {ENOLCK, EINVAL, ENOSYS, EOPNOTSUPP}) {
        SCOPED_TRACE("flock fails with errno " + std::to_string(err));
        SharedDrive shared;
        shared.MakePlainFolder(kOtherLine);
        RunHarness a, b;
        shared.Equip(a, "sato");
        shared.Equip(b, "tanaka");
        for (RunHarness* h : {&a, &b})
            h->SetExtraEnvironment({"ZELKOR_DRIVES=S=" + shared.Root(), "ZELKOR_SETTINGS_FOLDER=S:\\Settings\\",
                                    "LD_PRELOAD=" + HostShimPath(), "ZK_SHIM_FLOCK_ERRNO=" + std::to_string(err),
                                    "ASAN_OPTIONS=verify_asan_link_order=0"});
        for (const std::string round : {"1", "2"})
            for (RunHarness* h : {&a, &b}) {
                h->WriteScript(ExportTo(std::string("C:\\") + (h == &a ? "a" : "b") + round + ".xml"));
                const RunResult r = h->Run({});
                ASSERT_EQ(r.exitStatus, 0) << r.stderrText;
            }
        const std::string file = ReadFile(shared.File());
        EXPECT_EQ(file.compare(0, kOtherLine.size(), kOtherLine), 0) << file;
        ASSERT_EQ(LinesOf(file, "sato").size(), 1u) << file;
        ASSERT_EQ(LinesOf(file, "tanaka").size(), 1u) << file;
        EXPECT_TRUE(EndsWith(LinesOf(file, "sato")[0], "C:\\a2.xml\n")) << file;
        EXPECT_TRUE(EndsWith(file, "C:\\b2.xml\n")) << file;
    }
}

// A settings file whose lock another process holds past the writer's wait:
// the export completes, its conditions are not remembered, the file is as it
// was.
TEST(SharedFolderLocked, LockHeldPastTheWaitMeansNotSaved)
{
    SharedDrive shared;
    shared.MakePlainFolder(kOtherLine);
    RunHarness a;
    shared.Equip(a, "sato");
    const int holder = ::open(shared.File().c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    a.WriteScript(ExportTo("C:\\a.xml"));
    const RunResult r = a.Run({});
    ::close(holder);
    ASSERT_EQ(r.exitStatus, 0) << r.stderrText;
    EXPECT_EQ(r.messages.size(), 1u) << r.transcript;
    EXPECT_TRUE(fs::is_regular_file(a.DriveC("a.xml")));
    EXPECT_EQ(ReadFile(shared.File()), kOtherLine);
}

// Exports to the names of the settings folder: the export stays exactly as
// the run wrote it; where it is not the settings file, the line is saved.
TEST(SettingsFolderExports, ExportThatNamesASettingsFolderFileIsNeverChangedAfterwards)
{
    SharedDrive shared;
    shared.MakePlainFolder(kOtherLine);
    RunHarness a;
    shared.Equip(a, "sato");
    for (const std::string name : {"Zelkora.env.new", "Zelkora.env.lock", "ZelA.TMP", "Zelkora.env"}) {
        SCOPED_TRACE(name);
        const bool settingsFile = name == "Zelkora.env";
        a.WriteScript("type 1014 5\ntype 1016 2\ntype 1008 S:\\Settings\\" + name + "\nkey F12\n" +
                      (settingsFile ? "answer YES\n" : "") + "answer OK\n");
        const RunResult r = a.Run({});
        ASSERT_EQ(r.exitStatus, 0) << r.stderrText;
        ASSERT_FALSE(r.messages.empty());
        EXPECT_NE(r.messages.back().find(Quoted(kCompleted)), std::string::npos) << r.transcript;
        const std::string exported = ReadFile(shared.Folder() + "/" + name);
        EXPECT_TRUE(EndsWith(exported, "</REPORT>\r\n")) << name;
        if (settingsFile) {
            // The run's conditions are not remembered in its own export.
            EXPECT_EQ(exported.find("sato/{"), std::string::npos);
        } else {
            const std::string file = ReadFile(shared.File());
            EXPECT_EQ(file.compare(0, kOtherLine.size(), kOtherLine), 0) << file;
            EXPECT_TRUE(EndsWith(file, ":0/5/2/0/1/0/S:\\Settings\\" + name + "\n")) << file;
            EXPECT_EQ(LinesOf(file, "sato").size(), 1u) << file;
        }
    }
}

// Two users' first runs that create the settings folder (two levels) at one
// moment: both lines are saved, every time.
TEST(SharedFolderFirstRuns, RunsCreatingTheFolderTogetherKeepBothLines)
{
    SharedDrive shared;
    const bool asUsers = CanRunAsOtherUsers();
    if (asUsers) {
        // An office share: setgid, of the office's group.
        EXPECT_EQ(::chown(shared.Root().c_str(), 0, kOffice), 0);
        EXPECT_EQ(::chmod(shared.Root().c_str(), 02775), 0);
    }
    RunHarness a, b;
    shared.Equip(a, "sato");
    shared.Equip(b, "tanaka");
    const HostUser userA = Member(2001, 002), userB = Member(2002, 002);
    if (asUsers) {
        a.RunAs(&userA);
        b.RunAs(&userB);
    }
    for (RunHarness* h : {&a, &b})
        h->SetExtraEnvironment({"ZELKOR_DRIVES=S=" + shared.Root(), "ZELKOR_SETTINGS_FOLDER=S:\\Zelkor\\Settings\\"});
    const std::string settings = shared.Root() + "/Zelkor/Settings/Zelkora.env";
    constexpr int kPairs = 30;
    int lost = 0;
    for (int pair = 0; pair < kPairs; ++pair) {
        SCOPED_TRACE("pair " + std::to_string(pair));
        fs::remove_all(shared.Root() + "/Zelkor");
        ASSERT_TRUE(ExportTogether(a, b, pair));
        const std::string file = ReadFile(settings);
        const bool both = LinesOf(file, "sato").size() == 1 && LinesOf(file, "tanaka").size() == 1 &&
                          std::count(file.begin(), file.end(), '\n') == 2;
        EXPECT_TRUE(both) << file;
        if (!both) ++lost;
    }
    EXPECT_EQ(lost, 0);
}

// The run is killed at each write to the settings folder in turn, and in the
// middle of it: the settings file stays whole every time (the other line as
// it was, the user's line the old or the new one), and a later run mends it.
// As the file's owner (a new file put in place) and as another member of the
// office (the file rewritten in place).
TEST(SharedFolderKills, KillAtAnyWriteLeavesTheFileWhole)
{
    for (const bool owner : {true, false}) {
        if (!owner && !CanRunAsOtherUsers()) {
            std::cout << "[ SKIPPED  ] the rewrite in place needs a run as another host user: " << WhyNotAsOtherUsers()
                      << "\n";
            continue;
        }
        SCOPED_TRACE(owner ? "as the file's owner" : "as another member");
        SharedDrive shared;
        RunHarness a;
        shared.Equip(a, "sato");
        const HostUser member = Member(2001, 077);
        if (!owner) a.RunAs(&member);
        int completedAt = 0;
        for (int at = 1; at <= 12 && completedAt == 0; ++at) {
            SCOPED_TRACE("killed at write " + std::to_string(at));
            fs::remove_all(shared.Folder());
            fs::remove(a.DriveC("first.xml"));
            fs::remove(a.DriveC("new.xml"));
            if (owner) {
                fs::create_directories(shared.Folder());
            } else {
                shared.MakeOfficeFolder(03777, kOffice, kOwner, kOtherLine);
            }
            // The user's line exists, with the data ID the run uses: it is
            // taken from a first run's line.
            a.SetExtraEnvironment({"ZELKOR_DRIVES=S=" + shared.Root(), "ZELKOR_SETTINGS_FOLDER=S:\\Settings\\"});
            a.WriteScript(ExportTo("C:\\first.xml"));
            const RunResult firstRun = a.Run({});
            ASSERT_EQ(firstRun.exitStatus, 0) << firstRun.stderrText << firstRun.transcript;
            const std::string first = ReadFile(shared.File());
            ASSERT_EQ(LinesOf(first, "sato").size(), 1u) << first;
            const std::string key = LinesOf(first, "sato")[0].substr(0, LinesOf(first, "sato")[0].find(':') + 1);
            const std::string before = kOtherLine + key + "0/1/1/0/1/0/C:\\old.xml\n" + "last/{Y}:0/2/2/0/1/0/C:\\l.xml\n";
            std::ofstream(shared.File(), std::ios::binary | std::ios::trunc) << before;

            a.SetExtraEnvironment({"ZELKOR_DRIVES=S=" + shared.Root(), "ZELKOR_SETTINGS_FOLDER=S:\\Settings\\",
                                   "LD_PRELOAD=" + HostShimPath(), "ZK_SHIM_KILL_AT_WRITE=" + std::to_string(at),
                                   "ZK_SHIM_KILL_MATCH=" + shared.Folder() + "/",
                                   "ASAN_OPTIONS=verify_asan_link_order=0"});
            a.WriteScript(ExportTo("C:\\new.xml"));
            const RunResult r = a.Run({});
            if (r.exitStatus == 0) completedAt = at;

            const std::string file = ReadFile(shared.File());
            const std::string newLine = key + "0/5/2/0/1/0/C:\\new.xml\n";
            EXPECT_EQ(file.compare(0, kOtherLine.size(), kOtherLine), 0) << file;
            EXPECT_NE(file.find("last/{Y}:0/2/2/0/1/0/C:\\l.xml\n"), std::string::npos) << file;
            // The first line of the key, whole: the old one or the new one.
            const std::vector<std::string> lines = LinesOf(file, "sato");
            ASSERT_FALSE(lines.empty()) << file;
            EXPECT_TRUE(lines[0] == key + "0/1/1/0/1/0/C:\\old.xml\n" || lines[0] == newLine) << file;
            if (completedAt) {
                EXPECT_EQ(lines, std::vector<std::string>{newLine}) << file;
            }
            struct stat st = {};
            ASSERT_EQ(::stat(shared.File().c_str(), &st), 0);
            if (!owner) {
                EXPECT_EQ(st.st_uid, kOwner);
            }
        }
        // The kills met every write of a whole rewrite (there are some).
        EXPECT_GT(completedAt, 1);
    }
}

}  // namespace
