#include "conditions/FolderChain.h"

#include "TestDrives.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using FolderChain = TestDrives;

// A folder name the host cannot create: 100 double-byte characters are 200
// bytes here but 300 bytes as a host name, beyond the host's name limit.
std::string UncreatableName()
{
    std::string s;
    for (int i = 0; i < 100; ++i)
        s += "ソ";
    return s;
}

TEST_F(FolderChain, CreatesEveryMissingLevel)
{
    fs::create_directories(OnC(u8"a"));
    EXPECT_EQ(CreateFolderChain("C:\\a\\b\\c\\"), 1);
    EXPECT_TRUE(fs::is_directory(OnC(u8"a/b/c")));

    // Only the folder part of a file path is created.
    EXPECT_EQ(CreateFolderChain("C:\\x\\y\\out.xml"), 1);
    EXPECT_TRUE(fs::is_directory(OnC(u8"x/y")));
    EXPECT_FALSE(fs::exists(OnC(u8"x/y/out.xml")));

    // All levels present, and the root alone: nothing to do.
    EXPECT_EQ(CreateFolderChain("C:\\a\\b\\c\\"), 1);
    EXPECT_EQ(CreateFolderChain("C:\\"), 1);

    EXPECT_EQ(CreateFolderChain("\\\\srv\\share\\p\\q\\"), 1);
    EXPECT_TRUE(fs::is_directory(root_ / "share" / "p" / "q"));
}

TEST_F(FolderChain, DoubleByteNamesAreOneLevel)
{
    EXPECT_EQ(CreateFolderChain("C:\\ソ表\\ポ\\表\\"), 1);
    EXPECT_TRUE(fs::is_directory(OnC(u8"ソ表/ポ/表")));
    // Nothing was made of a name cut at a trail byte.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(root_ / "c"))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(FolderChain, RollsBackWhatItCreated)
{
    fs::create_directories(OnC(u8"a"));
    const std::string deep = "C:\\a\\b\\c\\" + UncreatableName() + "\\";
    EXPECT_EQ(CreateFolderChain(deep.c_str()), 0);
    EXPECT_FALSE(fs::exists(OnC(u8"a/b")));
    EXPECT_TRUE(fs::is_directory(OnC(u8"a")));

    // The second level fails: the first is removed again.
    const std::string second = "C:\\a\\b\\" + UncreatableName() + "\\";
    EXPECT_EQ(CreateFolderChain(second.c_str()), 0);
    EXPECT_FALSE(fs::exists(OnC(u8"a/b")));
    EXPECT_TRUE(fs::is_directory(OnC(u8"a")));
}

TEST_F(FolderChain, KeepsWhatExistedBefore)
{
    fs::create_directories(OnC(u8"a/b"));
    MakeFile(OnC(u8"a/b/keep.txt"));
    const std::string path = "C:\\a\\b\\x\\y\\" + UncreatableName() + "\\";
    EXPECT_EQ(CreateFolderChain(path.c_str()), 0);
    EXPECT_FALSE(fs::exists(OnC(u8"a/b/x")));
    EXPECT_TRUE(fs::exists(OnC(u8"a/b/keep.txt")));

    // A file where a level should be: nothing of ours to remove.
    MakeFile(OnC(u8"a/file"));
    EXPECT_EQ(CreateFolderChain("C:\\a\\file\\z\\"), 0);
    EXPECT_TRUE(fs::is_regular_file(OnC(u8"a/file")));
    EXPECT_TRUE(fs::is_directory(OnC(u8"a/b")));
}

TEST_F(FolderChain, RefusedPaths)
{
    EXPECT_EQ(CreateFolderChain("a\\b\\"), 0);      // no root
    EXPECT_EQ(CreateFolderChain("C:a\\b\\"), 0);    // drive-relative
    EXPECT_EQ(CreateFolderChain(""), 0);
    EXPECT_EQ(CreateFolderChain(nullptr), 0);
    EXPECT_EQ(CreateFolderChain("D:\\x\\"), 0);     // drive without a root
    EXPECT_EQ(CreateFolderChain("\\\\srv\\gone\\x\\"), 0);
    // Longer than a working buffer: refused, not cut.
    const std::string tooLong = "C:\\" + std::string(257, 'a') + "\\";
    EXPECT_EQ(CreateFolderChain(tooLong.c_str()), 0);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(root_ / "c"))
        ++entries;
    EXPECT_EQ(entries, 0);
}

TEST_F(FolderChain, RemoveCreatedFoldersStopsAtTheKeptLevel)
{
    fs::create_directories(OnC(u8"a/b/c"));
    MakeFile(OnC(u8"a/b/c/late.txt"));
    // A folder that gained content stops the removal.
    EXPECT_EQ(RemoveCreatedFolders("C:\\a\\b\\c\\d\\", "C:\\a\\"), 0);
    EXPECT_TRUE(fs::is_directory(OnC(u8"a/b/c")));
    fs::remove(OnC(u8"a/b/c/late.txt"));

    // Roots or levels that do not belong together: nothing is removed.
    EXPECT_EQ(RemoveCreatedFolders("C:\\a\\b\\c\\d\\", "E:\\"), 0);
    EXPECT_EQ(RemoveCreatedFolders("C:\\a\\b\\c\\d\\", "C:\\x\\"), 0);
    EXPECT_EQ(RemoveCreatedFolders("C:\\a\\b\\c\\d\\", "C:\\a\\bc\\"), 0);
    EXPECT_EQ(RemoveCreatedFolders("C:\\a\\b\\", "out.xml"), 0);
    EXPECT_TRUE(fs::is_directory(OnC(u8"a/b/c")));

    // Letter case does not matter; the kept level stays.
    EXPECT_EQ(RemoveCreatedFolders("C:\\A\\B\\C\\D\\", "c:\\a\\"), 1);
    EXPECT_FALSE(fs::exists(OnC(u8"a/b")));
    EXPECT_TRUE(fs::is_directory(OnC(u8"a")));

    // Kept level the root: everything on the path goes.
    fs::create_directories(OnC(u8"a/b"));
    EXPECT_EQ(RemoveCreatedFolders("C:\\a\\b\\c\\", "C:\\"), 1);
    EXPECT_FALSE(fs::exists(OnC(u8"a")));
}

// Processes that create one folder path at the same moment: whichever makes
// a level first, the others take it as existing, and all succeed.
TEST_F(FolderChain, ChainsThatMeetAllSucceed)
{
    constexpr int kRounds = 40;
    constexpr int kCreators = 6;
    int failures = 0;
    for (int round = 0; round < kRounds; ++round) {
        const std::string path = "C:\\r" + std::to_string(round) + "\\s\\t\\u\\v\\";
        std::atomic<int> ready{0};
        std::atomic<int> failed{0};
        std::vector<std::thread> creators;
        for (int i = 0; i < kCreators; ++i)
            creators.emplace_back([&] {
                ++ready;
                while (ready < kCreators) {
                }
                if (CreateFolderChain(path.c_str()) != 1) ++failed;
            });
        for (std::thread& t : creators) t.join();
        failures += failed;
        EXPECT_TRUE(fs::is_directory(root_ / "c" / ("r" + std::to_string(round)) / "s/t/u/v"));
    }
    EXPECT_EQ(failures, 0);
}

// The level that could not be created is never removed by the roll-back:
// when it exists, another process made it after the failure.
TEST_F(FolderChain, RollBackLeavesTheFailedLevelToWhoeverMadeIt)
{
    fs::create_directories(OnC(u8"a/b/c"));
    // b holds it now, so the roll-back stops there.
    EXPECT_EQ(RemoveCreatedFolders("C:\\a\\b\\c\\", "C:\\a\\"), 0);
    EXPECT_TRUE(fs::is_directory(OnC(u8"a/b/c")));
    // Above it, what the chain made goes as before.
    EXPECT_EQ(RemoveCreatedFolders("C:\\a\\x\\y\\", "C:\\a\\"), 1);
    fs::create_directories(OnC(u8"a/x"));
    EXPECT_EQ(RemoveCreatedFolders("C:\\a\\x\\y\\", "C:\\a\\"), 1);
    EXPECT_FALSE(fs::exists(OnC(u8"a/x")));
}

TEST_F(FolderChain, RemoveCreatedFoldersStepsOverDoubleBytes)
{
    fs::create_directories(OnC(u8"ソ/表/ポ"));
    EXPECT_EQ(RemoveCreatedFolders("C:\\ソ\\表\\ポ\\x\\", "C:\\ソ\\"), 1);
    EXPECT_FALSE(fs::exists(OnC(u8"ソ/表")));
    EXPECT_TRUE(fs::is_directory(OnC(u8"ソ")));
}

}  // namespace
