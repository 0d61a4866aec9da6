#include "win32/DriveMap.h"
#include "win32/PlatformConfig.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace {

// Sets ZELKOR_ variables for one test and moves the process to another
// folder, as the program does once it runs; everything is put back after.
class RelativeConfig : public ::testing::Test {
protected:
    TempFolder tmp;
    std::string startFolder = PlatformConfig::StartFolder();
    std::map<std::string, std::string> saved;
    std::map<std::string, bool> wasSet;

    void Set(const char* name, const std::string& value)
    {
        Remember(name);
        ::setenv(name, value.c_str(), 1);
    }
    void Unset(const char* name)
    {
        Remember(name);
        ::unsetenv(name);
    }
    // `path` relative to the folder the process was started in.
    std::string FromStart(const std::string& path) const
    {
        return std::filesystem::relative(path, startFolder).string();
    }
    void MoveAway()
    {
        tmp.MakeDir("elsewhere");
        ASSERT_EQ(::chdir((tmp / "elsewhere").c_str()), 0);
    }
    void TearDown() override
    {
        ASSERT_EQ(::chdir(startFolder.c_str()), 0);
        for (const auto& [name, value] : saved) {
            if (wasSet[name]) ::setenv(name.c_str(), value.c_str(), 1);
            else ::unsetenv(name.c_str());
        }
        PlatformConfig::Reload();
        DriveMap::Reload();
    }

private:
    void Remember(const char* name)
    {
        if (wasSet.count(name)) return;
        const char* v = std::getenv(name);
        wasSet[name] = v != nullptr;
        if (v) saved[name] = v;
    }
};

TEST(PlatformConfigPaths, AbsoluteJoinsTheStartFolderAndResolvesTheText)
{
    const std::string start = PlatformConfig::StartFolder();
    ASSERT_FALSE(start.empty());
    EXPECT_EQ(start[0], '/');
    EXPECT_EQ(PlatformConfig::Absolute(""), "");
    EXPECT_EQ(PlatformConfig::Absolute("/srv//zk/./home/"), "/srv/zk/home");
    EXPECT_EQ(PlatformConfig::Absolute("/srv/zk/../home"), "/srv/home");
    EXPECT_EQ(PlatformConfig::Absolute("/"), "/");
    const std::string base = start == "/" ? "" : start;
    EXPECT_EQ(PlatformConfig::Absolute("build/sample-home"), base + "/build/sample-home");
    EXPECT_EQ(PlatformConfig::Absolute("./a/b/../c/"), base + "/a/c");
}

// The start folder is the folder of the process's start, not the current one.
TEST_F(RelativeConfig, EnvironmentPathsAreTakenFromTheStartFolderNotTheCurrentOne)
{
    tmp.MakeDir("home");
    const std::string home = FromStart(tmp / "home");
    ASSERT_NE(home[0], '/');
    Set("ZELKOR_HOME", home);
    Set("ZELKOR_SCRIPT", FromStart(tmp / "run.script"));
    Set("ZELKOR_TRANSCRIPT", FromStart(tmp.Path()) + "/./out/../transcript.txt");
    Unset("ZELKOR_STORE");
    Unset("ZELKOR_CALLER_DIR");
    MoveAway();
    PlatformConfig::Reload();
    const PlatformConfig& cfg = PlatformConfig::Get();
    EXPECT_EQ(cfg.suiteHome, tmp / "home");
    EXPECT_EQ(cfg.storePath, tmp / "home/suite.db");
    EXPECT_EQ(cfg.callerDir, tmp / "home/callers");
    EXPECT_EQ(cfg.scriptPath, tmp / "run.script");
    EXPECT_EQ(cfg.transcriptPath, tmp / "transcript.txt");

    // An empty transcript is still standard output, not the start folder.
    Set("ZELKOR_TRANSCRIPT", "");
    Set("ZELKOR_STORE", "stores/x.db");
    PlatformConfig::Reload();
    EXPECT_EQ(PlatformConfig::Get().transcriptPath, "");
    EXPECT_EQ(PlatformConfig::Get().storePath, PlatformConfig::Absolute("stores/x.db"));
}

// The config file of a relative home is found after the move, and its own
// relative paths are taken from that home.
TEST_F(RelativeConfig, ConfigFileOfARelativeHomeIsReadAndItsPathsAreTakenFromTheHome)
{
    tmp.MakeDir("home");
    tmp.WriteFile("home/zelkor.conf", "BACKEND=fltk\nSTORE=data/books.db\nZELKOR_CALLER_DIR=/run/zk\nFLTK_IDLE_LIMIT=7\n");
    Set("ZELKOR_HOME", FromStart(tmp / "home"));
    for (const char* name : {"ZELKOR_STORE", "ZELKOR_BACKEND", "ZELKOR_CALLER_DIR", "ZELKOR_FLTK_IDLE_LIMIT"}) Unset(name);
    MoveAway();
    PlatformConfig::Reload();
    const PlatformConfig& cfg = PlatformConfig::Get();
    EXPECT_EQ(cfg.backend, "fltk");
    EXPECT_EQ(cfg.storePath, tmp / "home/data/books.db");
    EXPECT_EQ(cfg.callerDir, "/run/zk");
    EXPECT_EQ(PlatformConfig::Lookup("FLTK_IDLE_LIMIT", "0"), "7");
}

// Drive C: of a relative home stays the home's drive_c after the move, both
// ways.
TEST_F(RelativeConfig, DriveCOfARelativeHomeSurvivesTheMove)
{
    tmp.MakeDir("home");
    Set("ZELKOR_HOME", FromStart(tmp / "home"));
    Set("ZELKOR_DRIVES", "E=media:removable");
    MoveAway();
    PlatformConfig::Reload();
    DriveMap::Reload();
    EXPECT_TRUE(tmp.Exists("home/drive_c"));
    EXPECT_EQ(DriveMap::ToHostPath("C:\\Zelkor\\a.xml"), tmp / "home/drive_c/Zelkor/a.xml");
    EXPECT_EQ(DriveMap::ToWindowsPath(tmp / "home/drive_c/Zelkor"), "C:\\Zelkor");
    EXPECT_EQ(DriveMap::ToHostPath("E:\\x"), tmp / "home/media/x");
}

}  // namespace
