#include "win32/DriveMap.h"
#include "win32/Kernel.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
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

// A FIFO (no writer at its other end) or a device reads at once as a file
// that cannot be opened; a link to /dev/zero never grows a line.
TEST_F(ProfileTest, FifosAndDevicesReadAsMissingFiles)
{
    ASSERT_EQ(::mkfifo((tmp / "c/app/fifo.ini").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", (tmp / "c/app/zero.ini").c_str()), 0);
    DriveMap::SetForTesting("C=" + tmp / "c" + ";D=/dev", "");
    for (const char* file : {"C:\\app\\fifo.ini", "C:\\app\\zero.ini", "D:\\zero", "D:\\null"}) {
        SCOPED_TRACE(file);
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(Read("ProgramLevel", "SY35", "4", sizeof buf, file), "1:4");
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
}

// Only the file's first 65,536 bytes are read, and of them only whole lines:
// a key beyond the bound is missing, a line the bound cuts is not taken, the
// lines before it count. A file of many gigabytes (a hole) is read as fast.
TEST_F(ProfileTest, ReadsStopAtTheirBound)
{
    const std::string head = "[ProgramLevel]\r\nSY35=5\r\n";
    std::string filler;
    while (head.size() + filler.size() + 20 < 65536) filler += "; a comment line\r\n";
    // "Cut=123456" straddles byte 65,536: only "Cut=12" would lie within.
    const std::string within = head + filler + std::string(65536 - head.size() - filler.size() - 8, ';') + "\r\n";
    ASSERT_EQ(within.size(), 65530u);
    tmp.WriteFile("c/app/big.ini", within + "Cut=123456\r\nLate=1\r\n");
    const char* f = "C:\\app\\big.ini";
    EXPECT_EQ(Read("ProgramLevel", "SY35", "4", sizeof buf, f), "1:5");
    EXPECT_EQ(Read("ProgramLevel", "Cut", "none", sizeof buf, f), "4:none");
    EXPECT_EQ(Read("ProgramLevel", "Late", "none", sizeof buf, f), "4:none");
    // Up to the bound exactly, the last line counts.
    tmp.WriteFile("c/app/exact.ini", within + "CC=1\r\n");
    EXPECT_EQ(Read("ProgramLevel", "CC", "none", sizeof buf, "C:\\app\\exact.ini"), "1:1");

    tmp.WriteFile("c/app/huge.ini", head);
    std::filesystem::resize_file(tmp / "c/app/huge.ini", 4ull << 30);
    EXPECT_EQ(Read("ProgramLevel", "SY35", "4", sizeof buf, "C:\\app\\huge.ini"), "1:5");
}

// A file of exactly the bound is read whole, also a last line without its
// line end.
TEST_F(ProfileTest, LastLineWithoutLineEndAtTheBoundCounts)
{
    std::string text = "[ProgramLevel]\r\n";
    while (text.size() + 20 < 65536) text += "; a comment line\r\n";
    text += std::string(65536 - text.size() - 8, ';') + "\r\n";
    text += "SY35=3";
    ASSERT_EQ(text.size(), 65536u);
    tmp.WriteFile("c/app/exact.ini", text);
    EXPECT_EQ(Read("ProgramLevel", "SY35", "4", sizeof buf, "C:\\app\\exact.ini"), "1:3");
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

// A lone quote is no pair of quotes: it is the value.
TEST_F(ProfileTest, OneQuoteCharacterIsKept)
{
    tmp.WriteFile("c/app/quote.ini", "[ProgramLevel]\r\nSY35=\"\r\nSingle= '  \r\n");
    EXPECT_EQ(Read("ProgramLevel", "SY35", "4", sizeof buf, "C:\\app\\quote.ini"), "1:\"");
    EXPECT_EQ(Read("ProgramLevel", "Single", "4", sizeof buf, "C:\\app\\quote.ini"), "1:'");
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
