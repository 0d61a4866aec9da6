#include "win32/DriveMap.h"
#include "win32/Kernel.h"
#include "win32/Mbcs.h"
#include "win32/PlatformConfig.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

namespace {

// ソ is 0x83 0x5C and 表 0x95 0x5C in code page 932; in UTF-8 they are
// E3 82 BD and E8 A1 A8.
const char kSoHyoUtf8[] = "\xE3\x82\xBD\xE8\xA1\xA8";

class DriveMapTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::string c;  // host folder of C:

    void SetUp() override
    {
        c = tmp / "c";
        tmp.MakeDir("c");
        DriveMap::SetForTesting("C=" + c, "");
    }
    void TearDown() override { DriveMap::SetForTesting("", ""); }
};

TEST_F(DriveMapTest, DefaultsMapCToSuiteHomeAndZToHostRoot)
{
    DriveMap m = DriveMap::Parse("", "", "/home/u/.zelkor");
    ASSERT_NE(m.FindDrive('C'), nullptr);
    EXPECT_EQ(m.FindDrive('c')->hostRoot, "/home/u/.zelkor/drive_c");
    EXPECT_EQ(m.FindDrive('C')->type, static_cast<UINT>(DRIVE_FIXED));
    ASSERT_NE(m.FindDrive('Z'), nullptr);
    EXPECT_EQ(m.FindDrive('Z')->hostRoot, "/");
    EXPECT_EQ(m.FindDrive('D'), nullptr);
}

TEST_F(DriveMapTest, EveryDriveTypeAndUnmappedLetters)
{
    DriveMap::SetForTesting("E=/e:removable;F=/f:remote;G=/g:cdrom;H=/h:ramdisk;I=/i:unknown;J=/j;K=/k:fixed;C=", "");
    EXPECT_EQ(GetDriveTypeA("E:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
    EXPECT_EQ(GetDriveTypeA("F:\\"), static_cast<UINT>(DRIVE_REMOTE));
    EXPECT_EQ(GetDriveTypeA("g:\\"), static_cast<UINT>(DRIVE_CDROM));
    EXPECT_EQ(GetDriveTypeA("H:/"), static_cast<UINT>(DRIVE_RAMDISK));
    EXPECT_EQ(GetDriveTypeA("I:"), static_cast<UINT>(DRIVE_UNKNOWN));
    EXPECT_EQ(GetDriveTypeA("J:\\"), static_cast<UINT>(DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeA("K:\\"), static_cast<UINT>(DRIVE_FIXED));
    // An empty folder removes a default; a letter never named has no root.
    EXPECT_EQ(GetDriveTypeA("C:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_EQ(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_EQ(GetDriveTypeA("Z:\\"), static_cast<UINT>(DRIVE_FIXED));
    // Only a root names a drive.
    EXPECT_EQ(GetDriveTypeA("E:\\dir\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_EQ(GetDriveTypeA("1:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_EQ(DriveMap::ToHostPath("E:\\x\\y.xml"), "/e/x/y.xml");
    EXPECT_EQ(DriveMap::ToHostPath("D:\\x"), "");
}

TEST_F(DriveMapTest, SharesMapIgnoringCaseAndAreRemote)
{
    DriveMap::SetForTesting("C=" + c, "\\\\srv\\data=/host/d; //Other/Pub=/host/p/");
    EXPECT_EQ(GetDriveTypeA("\\\\SRV\\Data\\"), static_cast<UINT>(DRIVE_REMOTE));
    EXPECT_EQ(GetDriveTypeA("\\\\other\\pub"), static_cast<UINT>(DRIVE_REMOTE));
    EXPECT_EQ(GetDriveTypeA("\\\\srv\\nope\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_EQ(GetDriveTypeA("\\\\srv\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_EQ(DriveMap::ToHostPath("\\\\srv\\data\\a\\b.xml"), "/host/d/a/b.xml");
    EXPECT_EQ(DriveMap::ToHostPath("//other/PUB/x"), "/host/p/x");
    EXPECT_EQ(DriveMap::ToHostPath("\\\\srv\\data"), "/host/d");
    EXPECT_EQ(DriveMap::ToHostPath("\\\\srv\\nope\\x"), "");
}

TEST_F(DriveMapTest, BadEntriesAreSkippedAndTheRestKept)
{
    DriveMap m = DriveMap::Parse("EE=/x;7=/y;Q=/q:cdrom;R", "\\\\onlyserver=/s;\\\\a\\b=;\\\\a\\c=/ac", "/h");
    EXPECT_EQ(m.FindDrive('E'), nullptr);
    ASSERT_NE(m.FindDrive('Q'), nullptr);
    EXPECT_EQ(m.FindDrive('Q')->type, static_cast<UINT>(DRIVE_CDROM));
    EXPECT_EQ(m.FindDrive('R'), nullptr);
    EXPECT_EQ(m.FindShare("a", "b"), nullptr);
    ASSERT_NE(m.FindShare("A", "C"), nullptr);
    EXPECT_EQ(m.FindShare("A", "C")->hostRoot, "/ac");
    // A colon that names no type belongs to the folder.
    DriveMap n = DriveMap::Parse("E=/mnt/a:b", "", "/h");
    ASSERT_NE(n.FindDrive('E'), nullptr);
    EXPECT_EQ(n.FindDrive('E')->hostRoot, "/mnt/a:b");
    EXPECT_EQ(n.FindDrive('E')->type, static_cast<UINT>(DRIVE_FIXED));
}

TEST_F(DriveMapTest, ConfigurationFromEnvironmentWithRelativeFolders)
{
    const char* oldHome = std::getenv("ZELKOR_HOME");
    std::string saved = oldHome ? oldHome : "";
    ::setenv("ZELKOR_HOME", tmp.Path().c_str(), 1);
    ::setenv("ZELKOR_DRIVES", "E=media:removable", 1);
    ::setenv("ZELKOR_SHARES", "\\\\nas\\docs=shares/docs", 1);
    PlatformConfig::Reload();
    DriveMap::Reload();
    EXPECT_EQ(DriveMap::ToHostPath("E:\\a"), tmp / "media/a");
    EXPECT_EQ(GetDriveTypeA("E:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
    EXPECT_EQ(DriveMap::ToHostPath("\\\\NAS\\docs\\f"), tmp / "shares/docs/f");
    // The default C: folder is created in the suite home.
    EXPECT_TRUE(tmp.Exists("drive_c"));
    EXPECT_EQ(DriveMap::ToHostPath("C:\\x"), tmp / "drive_c/x");

    ::unsetenv("ZELKOR_DRIVES");
    ::unsetenv("ZELKOR_SHARES");
    if (oldHome) ::setenv("ZELKOR_HOME", saved.c_str(), 1);
    else ::unsetenv("ZELKOR_HOME");
    PlatformConfig::Reload();
    DriveMap::Reload();
}

TEST_F(DriveMapTest, WindowsToHostPaths)
{
    EXPECT_EQ(DriveMap::ToHostPath("C:\\dir\\file.txt"), c + "/dir/file.txt");
    EXPECT_EQ(DriveMap::ToHostPath("c:/dir/file.txt"), c + "/dir/file.txt");
    EXPECT_EQ(DriveMap::ToHostPath("C:\\a\\\\b\\.\\..\\c\\"), c + "/a/c/");
    EXPECT_EQ(DriveMap::ToHostPath("C:\\..\\..\\x"), c + "/x");
    EXPECT_EQ(DriveMap::ToHostPath("C:\\"), c);
    EXPECT_EQ(DriveMap::ToHostPath("Z:\\etc\\hosts"), "/etc/hosts");
    EXPECT_EQ(DriveMap::ToHostPath(""), "");
}

TEST_F(DriveMapTest, DoubleByteNamesBecomeUtf8AndTrailBytesAreNoSeparators)
{
    // "C:\ソ表\a.xml": the second bytes of ソ and 表 are 0x5C.
    EXPECT_EQ(DriveMap::ToHostPath("C:\\\x83\x5C\x95\x5C\\a.xml"), c + "/" + kSoHyoUtf8 + "/a.xml");
    EXPECT_EQ(DriveMap::ToHostPath("C:\\\x83\x5C\x95\x5C\\"), c + "/" + kSoHyoUtf8 + "/");
    // ポ (0x83 0x7C) and a folder name ending in ソ.
    EXPECT_EQ(DriveMap::ToHostPath("C:\\\x83\x7C\\\x83\x5C"), c + "/\xE3\x83\x9D/\xE3\x82\xBD");
    EXPECT_EQ(DriveMap::ToWindowsPath(c + "/" + kSoHyoUtf8 + "/a.xml"), "C:\\\x83\x5C\x95\x5C\\a.xml");
}

// The host path a program may ask for (code page 932, like its own texts):
// cut to its buffer, never inside a double-byte character; none for a path
// on no mapped drive.
TEST_F(DriveMapTest, HostPathNamesForTheProgram)
{
    const std::string want = mbcs::Utf8ToCp932(c + "/" + kSoHyoUtf8 + "/a.ini");
    char buffer[512] = {};
    EXPECT_EQ(GetHostPathNameA("C:\\\x83\x5C\x95\x5C\\a.ini", buffer, sizeof buffer), want.size());
    EXPECT_EQ(std::string(buffer), want);
    // Room for the folder and the first byte of ソ only: the cut keeps neither byte.
    const DWORD room = static_cast<DWORD>(mbcs::Utf8ToCp932(c).size() + 3);
    EXPECT_EQ(GetHostPathNameA("C:\\\x83\x5C\x95\x5C\\a.ini", buffer, room), room - 2);
    EXPECT_EQ(std::string(buffer), mbcs::Utf8ToCp932(c) + "/");
    EXPECT_EQ(GetHostPathNameA("Q:\\a.ini", buffer, sizeof buffer), 0u);
    EXPECT_EQ(std::string(buffer), "");
}

TEST_F(DriveMapTest, HostToWindowsPathsTakeTheDeepestDrive)
{
    tmp.MakeDir("c/sub");
    DriveMap::SetForTesting("C=" + c + ";S=" + c + "/sub", "");
    EXPECT_EQ(DriveMap::ToWindowsPath(c + "/x/y.txt"), "C:\\x\\y.txt");
    EXPECT_EQ(DriveMap::ToWindowsPath(c + "/sub/y.txt"), "S:\\y.txt");
    EXPECT_EQ(DriveMap::ToWindowsPath(c + "/sub"), "S:\\");
    // A sibling whose name merely begins like the drive's folder is not on it.
    std::string sibling = c + "x/y";
    std::string expected = "Z:" + sibling;
    for (char& ch : expected)
        if (ch == '/') ch = '\\';
    EXPECT_EQ(DriveMap::ToWindowsPath(sibling), expected);
    EXPECT_EQ(DriveMap::ToWindowsPath("/etc/hosts"), "Z:\\etc\\hosts");
    EXPECT_EQ(DriveMap::ToWindowsPath("/"), "Z:\\");
    DriveMap::SetForTesting("C=" + c + ";Z=", "");
    EXPECT_EQ(DriveMap::ToWindowsPath("/etc/hosts"), "");
}

TEST_F(DriveMapTest, ExistingHostNamesAreFoundIgnoringCase)
{
    tmp.MakeDir("c/Data/Sub");
    EXPECT_EQ(DriveMap::ToHostPath("C:\\DATA\\sub\\new.xml"), c + "/Data/Sub/new.xml");
    EXPECT_EQ(DriveMap::ToHostPath("C:\\data\\Missing\\SUB"), c + "/Data/Missing/SUB");
}

TEST_F(DriveMapTest, RelativePathsResolveAgainstTheCurrentDirectory)
{
    tmp.MakeDir("c/work/in");
    tmp.MakeDir("d");
    DriveMap::SetForTesting("C=" + c + ";D=" + tmp / "d", "\\\\srv\\s=" + tmp / "d");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\WORK\\"));
    char buf[MAX_PATH];
    ASSERT_EQ(GetCurrentDirectoryA(sizeof buf, buf), 7u);
    EXPECT_STREQ(buf, "C:\\WORK");
    EXPECT_EQ(DriveMap::ToHostPath("in\\a.txt"), c + "/work/in/a.txt");
    EXPECT_EQ(DriveMap::ToHostPath("..\\b"), c + "/b");
    EXPECT_EQ(DriveMap::ToHostPath("\\b"), c + "/b");
    EXPECT_EQ(DriveMap::FullPath("C:x\\y"), "C:\\WORK\\x\\y");
    EXPECT_EQ(DriveMap::FullPath("D:x"), "D:\\x");
    EXPECT_EQ(DriveMap::FullPath("a/b/"), "C:\\WORK\\a\\b\\");

    ASSERT_TRUE(SetCurrentDirectoryA("in"));
    GetCurrentDirectoryA(sizeof buf, buf);
    EXPECT_STREQ(buf, "C:\\WORK\\in");

    ASSERT_TRUE(SetCurrentDirectoryA("\\\\srv\\s"));
    GetCurrentDirectoryA(sizeof buf, buf);
    EXPECT_STREQ(buf, "\\\\srv\\s\\");
    EXPECT_EQ(DriveMap::FullPath("\\x"), "\\\\srv\\s\\x");
    EXPECT_EQ(DriveMap::ToHostPath("x"), tmp / "d/x");

    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    GetCurrentDirectoryA(sizeof buf, buf);
    EXPECT_STREQ(buf, "C:\\");
}

TEST_F(DriveMapTest, CurrentDirectoryErrorsAndBufferSizes)
{
    tmp.WriteFile("c/file.txt", "x");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    EXPECT_FALSE(SetCurrentDirectoryA("C:\\missing"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(SetCurrentDirectoryA("C:\\file.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
    EXPECT_FALSE(SetCurrentDirectoryA("Q:\\"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    char buf[4] = "zz";
    // Too small: the size needed with the NUL, and the buffer untouched.
    EXPECT_EQ(GetCurrentDirectoryA(3, buf), 4u);
    EXPECT_STREQ(buf, "zz");
    EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), 4u);
    EXPECT_EQ(GetCurrentDirectoryA(4, buf), 3u);
    EXPECT_STREQ(buf, "C:\\");
}

TEST_F(DriveMapTest, TempPathIsAWindowsFolderEndingInBackslash)
{
    char buf[MAX_PATH];
    DWORD n = GetTempPathA(sizeof buf, buf);
    ASSERT_GT(n, 0u);
    ASSERT_LT(n, sizeof buf);
    EXPECT_EQ(buf[n - 1], '\\');
    const char* t = std::getenv("TMPDIR");
    std::string host = t && *t ? t : "/tmp";
    while (host.size() > 1 && host.back() == '/') host.pop_back();
    EXPECT_EQ(DriveMap::ToHostPath(buf), host + "/");
    EXPECT_EQ(GetTempPathA(1, buf), n + 1);
}

}  // namespace
