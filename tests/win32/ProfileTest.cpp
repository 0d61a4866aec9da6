#include "win32/DriveMap.h"
#include "win32/Kernel.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class ProfileTest : public ::testing::Test {
protected:
    TempFolder tmp;
    char buf[64];

    void SetUp() override
    {
        tmp.MakeDir("c/app");
        DriveMap::SetForTesting("C=" + tmp / "c", "");
        // CR LF lines as a Windows editor leaves them; ソ (0x83 0x5C) in a value.
        tmp.WriteFile("c/app/OrlanzenDef.ini",
                      "; definitions\r\n"
                      "orphan=before any section\r\n"
                      "[ProgramLevel]\r\n"
                      "SY35=4\r\n"
                      "Empty=\r\n"
                      "  Spaced  =  padded value  \r\n"
                      "Quoted=\"  inside  \"\r\n"
                      "Kana=\x83\x5C\\x\r\n"
                      "NotNumber=abc\r\n"
                      "Negative=-7\r\n"
                      "NoEquals\r\n"
                      "[Other]\r\n"
                      "SY35=9\r\n");
        std::memset(buf, 'X', sizeof buf);
    }
    void TearDown() override { DriveMap::SetForTesting("", ""); }

    DWORD Get(const char* section, const char* key, const char* def, DWORD size = sizeof(ProfileTest::buf),
              const char* file = "C:\\app\\OrlanzenDef.ini")
    {
        return GetPrivateProfileStringA(section, key, def, buf, size, file);
    }
    // What Get returns and what it wrote, as "<length>:<text>".
    std::string Read(const char* section, const char* key, const char* def, DWORD size = sizeof(ProfileTest::buf),
                     const char* file = "C:\\app\\OrlanzenDef.ini")
    {
        const DWORD n = Get(section, key, def, size, file);
        return std::to_string(n) + ":" + buf;
    }
};

TEST_F(ProfileTest, MissingFileGivesTheDefault)
{
    EXPECT_EQ(Read("ProgramLevel", "SY35", "4", sizeof buf, "C:\\app\\none.ini"), "1:4");
    EXPECT_EQ(Read("ProgramLevel", "SY35", "4", sizeof buf, "Q:\\unmapped.ini"), "1:4");
    // The default loses its trailing blanks; a null default is empty.
    EXPECT_EQ(Read("ProgramLevel", "SY35", "dflt  ", sizeof buf, "C:\\none.ini"), "4:dflt");
    EXPECT_EQ(Read("ProgramLevel", "SY35", nullptr, sizeof buf, "C:\\none.ini"), "0:");
}

TEST_F(ProfileTest, MissingKeyOrSectionGivesTheDefaultEmptyValueGivesEmpty)
{
    EXPECT_EQ(Read("ProgramLevel", "SY99", "4"), "1:4");
    EXPECT_EQ(Read("Nowhere", "SY35", "4"), "1:4");
    EXPECT_EQ(Read("ProgramLevel", "Empty", "4"), "0:");
    // A line without '=' is no key, and keys before any section belong to none.
    EXPECT_EQ(Read("ProgramLevel", "NoEquals", "d"), "1:d");
    EXPECT_EQ(Read("", "orphan", "d"), "1:d");
}

TEST_F(ProfileTest, ValuesMatchIgnoringCaseAndLoseBlanksAndQuotes)
{
    EXPECT_EQ(Read("ProgramLevel", "SY35", "x"), "1:4");
    EXPECT_EQ(Read("programlevel", "sy35", "x"), "1:4");
    EXPECT_EQ(Read("OTHER", "Sy35", "x"), "1:9");
    EXPECT_EQ(Read("ProgramLevel", "Spaced", "x"), "12:padded value");
    EXPECT_EQ(Read("ProgramLevel", "Quoted", "x"), "10:  inside  ");
    EXPECT_EQ(Read("ProgramLevel", "Kana", "x"), "4:\x83\x5C\\x");
}

TEST_F(ProfileTest, TruncationKeepsSizeMinusOneBytes)
{
    EXPECT_EQ(Read("ProgramLevel", "Spaced", "x", 4), "3:pad");
    EXPECT_EQ(Get("ProgramLevel", "Spaced", "x", 1), 0u);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(Read("ProgramLevel", "SY99", "default", 4), "3:def");
    std::memset(buf, 'X', sizeof buf);
    EXPECT_EQ(Get("ProgramLevel", "SY35", "x", 0), 0u);
    EXPECT_EQ(buf[0], 'X');
}

TEST_F(ProfileTest, RelativeFileNameUsesTheCurrentDirectory)
{
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\app"));
    EXPECT_EQ(Read("ProgramLevel", "SY35", "x", sizeof buf, "OrlanzenDef.ini"), "1:4");
    // Windows names ignore case.
    EXPECT_EQ(Read("ProgramLevel", "SY35", "x", sizeof buf, "C:\\APP\\orlanzendef.INI"), "1:4");
}

TEST_F(ProfileTest, NamesListedWithNullSectionOrKey)
{
    DWORD n = Get("ProgramLevel", nullptr, "");
    const char expected[] = "SY35\0Empty\0Spaced\0Quoted\0Kana\0NotNumber\0Negative\0";
    ASSERT_EQ(n, sizeof expected - 1);
    EXPECT_EQ(std::memcmp(buf, expected, sizeof expected), 0);
    n = Get(nullptr, nullptr, "");
    ASSERT_EQ(n, 19u);
    EXPECT_EQ(std::memcmp(buf, "ProgramLevel\0Other\0\0", 20), 0);
}

}  // namespace
