// Property tests of the output-path operations that touch the file system,
// over seeded random paths on the test drive map (TestDrives.h).
//
// - IsValidOutputLocation: a share path is accepted iff its root (up to the
//   second real backslash from byte 3 on) names the writable mapped share;
//   any other path is refused when it holds a doubled real backslash, else
//   judged by its first byte as drive letter: the mapped fixed, removable and
//   remote drives with a host folder and the letters without a volume are
//   accepted; missing host folders, CD-ROM, RAM disk, unknown types and
//   non-letters are refused.
// - CreateFolderChain: 1 iff afterwards every level of the folder part exists;
//   it only ever adds folders that are levels of that part; on 0 the host
//   tree is exactly as before (what it created is removed, nothing else).
// - RemoveCreatedFolders: removes only folders on the failed level's path
//   strictly below the kept level and above the failed level itself (which,
//   when it exists, another process made), and only empty ones (never a
//   file); when it gives 1 for a failed level below the kept one, none of
//   those levels exists any more.
#include "conditions/FolderChain.h"
#include "conditions/OutputLocation.h"
#include "conditions/PathParts.h"

#include "TestDrives.h"
#include "tests/support/FuzzText.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class FolderChainFuzzTest : public TestDrives {
protected:
    // Every entry below the host folders of drive C and the share: relative
    // path -> 'd' folder, 'f' other.
    std::map<std::string, char> Tree() const
    {
        std::map<std::string, char> t;
        for (const char* top : {"c", "share"}) {
            std::error_code ec;
            for (auto it = fs::recursive_directory_iterator(root_ / top, ec); it != fs::recursive_directory_iterator();
                 it.increment(ec)) {
                t[fs::relative(it->path(), root_).string()] = it->is_directory() ? 'd' : 'f';
            }
        }
        return t;
    }
    void ClearDrives() const
    {
        for (const char* top : {"c", "share"}) {
            fs::remove_all(root_ / top);
            fs::create_directories(root_ / top);
        }
    }
};

// Roles of the bytes: true for the bytes of double-byte characters.
std::vector<bool> PairBytes(const std::string& s)
{
    std::vector<bool> r(s.size(), false);
    for (size_t i = 0; i + 1 < s.size();) {
        const unsigned char c = s[i], t = s[i + 1];
        if (((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && ((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC))) {
            r[i] = r[i + 1] = true;
            i += 2;
        } else {
            ++i;
        }
    }
    return r;
}

size_t RealBackslash(const std::string& s, size_t from)
{
    const std::vector<bool> pair = PairBytes(s);
    for (size_t i = from; i < s.size(); ++i)
        if (!pair[i] && s[i] == '\\') return i;
    return std::string::npos;
}

// A level name: letters, digits and double-byte characters, some of them
// with a second byte of '\'; now and then one too long for the host.
std::string LevelName(fuzz::Gen& g)
{
    if (g.Chance(4)) {
        std::string s;
        for (int i = 0; i < 100; ++i) s += "\x83\x5C";  // 300 bytes as a host name
        return s;
    }
    static const std::vector<std::string> kNames = {"a", "b", "out", "\x83\x5C", "\x95\x5C", "\x83\x7C\x83\x67",
                                                    "x1", "\x8F\x8A"};
    std::string s = g.Pick(kNames);
    if (g.Chance(30)) s += g.Pick(kNames);
    return s;
}

TEST_F(FolderChainFuzzTest, OutputLocationFollowsTheDriveTable)
{
    const uint32_t seed = fuzz::Seed(0x5EED0301u);
    fuzz::Gen g(seed);
    // Accepted letters: the present fixed, removable and remote drives, and
    // every letter without a volume.
    const std::string refusedLetters = "GKQRU";
    int accepted = 0;
    for (int n = 0; n < fuzz::Cases(3000); ++n) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(n));
        std::string path;
        int expected;
        if (g.Chance(40)) {
            path = "\\\\" + g.Pick<std::string>({"srv", "SRV", "Srv", "other", "\x83\x5C", ""});
            if (g.Chance(85)) path += "\\" + g.Pick<std::string>({"share", "SHARE", "gone", "x", "\x95\x5C"});
            if (g.Chance(80)) path += "\\" + g.Text(10, "ab\\.");
            const size_t endServer = RealBackslash(path, 3);
            const size_t endShare = endServer == std::string::npos ? endServer : RealBackslash(path, endServer + 1);
            std::string root = endShare == std::string::npos ? "" : path.substr(0, endShare);
            for (char& c : root)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            expected = root == "\\\\srv\\share" ? 1 : 0;
        } else {
            path = g.Chance(90) ? std::string(1, static_cast<char>(g.Chance(50) ? g.Int('A', 'Z') : g.Int('a', 'z')))
                                : std::string(1, g.Byte());
            if (g.Chance(80)) path += ":";
            path += g.Text(20, "\\a.");
            if (path[0] == '\\' && path.size() >= 2 && path[1] == '\\') path[0] = 'c';
            const std::vector<bool> pair = PairBytes(path);
            bool doubled = false;
            for (size_t i = 0; i + 1 < path.size(); ++i) doubled = doubled || (!pair[i] && path[i] == '\\' && path[i + 1] == '\\');
            const char up = (path[0] >= 'a' && path[0] <= 'z') ? static_cast<char>(path[0] - 'a' + 'A') : path[0];
            const bool letter = up >= 'A' && up <= 'Z';
            expected = !doubled && letter && refusedLetters.find(up) == std::string::npos ? 1 : 0;
        }
        ASSERT_EQ(IsValidOutputLocation(path.c_str()), expected) << path;
        accepted += expected;
    }
    EXPECT_GT(accepted, 300);
    EXPECT_EQ(IsValidOutputLocation(""), 0);
    EXPECT_EQ(IsValidOutputLocation(nullptr), 0);
}

TEST_F(FolderChainFuzzTest, ChainCreatesItsLevelsOrLeavesTheTreeAsItWas)
{
    const uint32_t seed = fuzz::Seed(0x5EED0302u);
    fuzz::Gen g(seed);
    int made = 0, failed = 0;
    for (int n = 0; n < fuzz::Cases(250); ++n) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(n));
        ClearDrives();
        const std::string root = g.Chance(80) ? "C:\\" : g.Chance(50) ? "\\\\srv\\share\\" : "D:\\";
        std::vector<std::string> levels;  // Windows paths of the levels, with their backslash
        std::string path = root;
        const long long depth = g.Int(0, 5);
        for (long long i = 0; i < depth; ++i) {
            path += LevelName(g) + "\\";
            levels.push_back(path);
        }
        // Some levels exist already; a file may stand where a level should be.
        for (const std::string& level : levels) {
            if (!g.Chance(40)) break;
            CreateDirectoryA(level.c_str(), nullptr);
        }
        if (!levels.empty() && g.Chance(15)) {
            std::string file = levels[g.Int(0, levels.size() - 1)];
            file.pop_back();
            CFile f;
            if (f.Open(file.c_str(), CFile::modeCreate | CFile::modeWrite)) f.Close();
        }
        std::string arg = path;
        if (g.Chance(30)) arg += "out.xml";
        const auto before = Tree();

        const int result = CreateFolderChain(arg.c_str());
        const auto after = Tree();
        SCOPED_TRACE(arg);
        if (result == 1) {
            ++made;
            for (const std::string& level : levels) ASSERT_TRUE(PathIsDirectoryA(level.c_str())) << level;
            for (const auto& [name, kind] : before) ASSERT_EQ(after.count(name), 1u) << name;
            ASSERT_LE(after.size(), before.size() + levels.size());
            for (const auto& [name, kind] : after)
                if (!before.count(name)) {
                    ASSERT_EQ(kind, 'd') << name;
                }
        } else {
            ++failed;
            ASSERT_EQ(result, 0);
            ASSERT_EQ(after, before);
        }
    }
    EXPECT_GT(made, 50);
    EXPECT_GT(failed, 20);
}

TEST_F(FolderChainFuzzTest, RollBackRemovesOnlyEmptyFoldersBelowTheKeptLevel)
{
    const uint32_t seed = fuzz::Seed(0x5EED0303u);
    fuzz::Gen g(seed);
    int complete = 0;
    for (int n = 0; n < fuzz::Cases(300); ++n) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(n));
        ClearDrives();
        // A random tree of short names on C:, some folders holding a file.
        std::vector<std::string> names = {"a", "b", "\x83\x5C", "c"};
        std::vector<std::string> folders = {"C:\\"};
        for (int i = 0; i < 12; ++i) {
            std::string f = g.Pick(folders) + g.Pick(names) + "\\";
            if (CreateDirectoryA(f.c_str(), nullptr)) folders.push_back(f);
        }
        for (const std::string& f : folders)
            if (f != "C:\\" && g.Chance(15)) {
                CFile file;
                if (file.Open((f + "keep.txt").c_str(), CFile::modeCreate | CFile::modeWrite)) file.Close();
            }
        // The failed level: an existing folder with up to two more levels;
        // the kept level: one of its ancestors, or any folder at all.
        std::string failedLevel = g.Pick(folders);
        for (long long i = g.Int(0, 2); i > 0; --i) failedLevel += g.Pick(names) + "\\";
        std::string kept;
        std::vector<std::string> ancestors;  // levels of the failed path, root first
        for (size_t i = RealBackslash(failedLevel, 0); i != std::string::npos; i = RealBackslash(failedLevel, i + 1))
            ancestors.push_back(failedLevel.substr(0, i + 1));
        kept = g.Chance(80) ? g.Pick(ancestors) : g.Pick(folders);
        if (g.Chance(15))
            for (char& c : kept) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        SCOPED_TRACE("failed " + failedLevel + " kept " + kept);

        // Levels below the kept one that the call may remove (host names).
        std::set<std::string> removable;
        bool below = false;
        for (const std::string& level : ancestors) {
            if (level.size() > kept.size() && _strnicmp(level.c_str(), kept.c_str(), kept.size()) == 0) {
                below = true;
                if (level != failedLevel) removable.insert(level);
            }
        }
        const auto before = Tree();
        const int result = RemoveCreatedFolders(failedLevel.c_str(), kept.c_str());
        const auto after = Tree();

        std::set<std::string> gone;
        for (const auto& [name, kind] : before)
            if (!after.count(name)) {
                ASSERT_EQ(kind, 'd') << name << " was removed";
                gone.insert(name);
            }
        for (const auto& [name, kind] : after) ASSERT_EQ(before.count(name), 1u) << name << " appeared";
        // Every removed folder is one of the removable levels.
        std::set<std::string> removableHost;
        for (const std::string& level : removable) {
            std::string rel = "c/";
            for (size_t i = 3; i < level.size(); ++i) rel += level[i] == '\\' && !PairBytes(level)[i] ? '/' : level[i];
            if (rel.back() == '/') rel.pop_back();
            removableHost.insert(fs::path(mbcs::Cp932ToUtf8(rel)).string());
        }
        for (const std::string& name : gone) ASSERT_EQ(removableHost.count(name), 1u) << name << " is no level below";
        if (below && result == 1) {
            ++complete;
            for (const std::string& level : removable) ASSERT_FALSE(PathIsDirectoryA(level.c_str())) << level;
        }
    }
    EXPECT_GT(complete, 30);
}

}  // namespace
