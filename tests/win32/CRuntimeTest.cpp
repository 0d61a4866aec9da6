#include "win32/Kernel.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

struct Split {
    std::string drive, dir, fname, ext;
};

Split SplitPath(const char* path)
{
    char drive[_MAX_DRIVE], dir[_MAX_DIR], fname[_MAX_FNAME], ext[_MAX_EXT];
    std::memset(drive, 'X', sizeof drive);
    std::memset(dir, 'X', sizeof dir);
    _splitpath(path, drive, dir, fname, ext);
    return {drive, dir, fname, ext};
}

void ExpectSplit(const char* path, const char* drive, const char* dir, const char* fname, const char* ext)
{
    Split s = SplitPath(path);
    EXPECT_EQ(s.drive, drive) << path;
    EXPECT_EQ(s.dir, dir) << path;
    EXPECT_EQ(s.fname, fname) << path;
    EXPECT_EQ(s.ext, ext) << path;
}

TEST(SplitPath, DriveSharesAndRelativePaths)
{
    ExpectSplit("C:\\data\\out.xml", "C:", "\\data\\", "out", ".xml");
    ExpectSplit("C:out.xml", "C:", "", "out", ".xml");
    ExpectSplit("C:", "C:", "", "", "");
    ExpectSplit("\\\\srv\\share\\x.xml", "", "\\\\srv\\share\\", "x", ".xml");
    ExpectSplit("\\\\srv\\share", "", "\\\\srv\\", "share", "");
    ExpectSplit("out.xml", "", "", "out", ".xml");
    ExpectSplit("dir/sub\\a.b.c", "", "dir/sub\\", "a.b", ".c");
    ExpectSplit("a.dir\\name", "", "a.dir\\", "name", "");
    ExpectSplit("C:\\data\\.xml", "C:", "\\data\\", "", ".xml");
    ExpectSplit("C:\\data\\*.xml", "C:", "\\data\\", "*", ".xml");
    ExpectSplit("", "", "", "", "");
}

TEST(SplitPath, TrailBytesAreNeverSeparators)
{
    // C:\ソ表\a.xml : ソ = 0x83 0x5C, 表 = 0x95 0x5C.
    ExpectSplit("C:\\\x83\x5C\x95\x5C\\a.xml", "C:", "\\\x83\x5C\x95\x5C\\", "a", ".xml");
    // A name that ends in ソ has no separator at its end.
    ExpectSplit("C:\\d\\\x83\x5C", "C:", "\\d\\", "\x83\x5C", "");
    // ポ = 0x83 0x7C, and a lead byte is no drive letter.
    ExpectSplit("\x83\x7C\\x.y", "", "\x83\x7C\\", "x", ".y");
    ExpectSplit("\x83:\\x", "", "\x83:\\", "x", "");
}

TEST(SplitPath, NullOutputsAndLongParts)
{
    char dir[_MAX_DIR];
    _splitpath("C:\\a\\b.c", nullptr, dir, nullptr, nullptr);
    EXPECT_STREQ(dir, "\\a\\");
    // A folder part longer than the buffer is cut to 255 bytes, never inside
    // a double-byte character.
    std::string longDir = "C:\\" + std::string(253, 'a') + "\x83\x5C" + "\\f.x";
    _splitpath(longDir.c_str(), nullptr, dir, nullptr, nullptr);
    EXPECT_EQ(std::strlen(dir), 254u);
    EXPECT_EQ(std::string(dir), "\\" + std::string(253, 'a'));
}

TEST(CompareIgnoringCase, AsciiLettersFoldDoubleByteCharactersDoNot)
{
    EXPECT_EQ(_stricmp("C:\\Data", "c:\\dATA"), 0);
    EXPECT_LT(_stricmp("abc", "abd"), 0);
    EXPECT_GT(_stricmp("abd", "ABC"), 0);
    EXPECT_LT(_stricmp("ab", "abc"), 0);
    // Letters fold to lower case, so '_' (0x5F) sorts before 'A' (0x41) too.
    EXPECT_LT(_stricmp("_", "a"), 0);
    EXPECT_LT(_stricmp("_", "A"), 0);
    // ア is 0x83 0x41 and ツ 0x83 0x63... a trail byte that equals a capital
    // letter must not fold onto another character's trail byte.
    EXPECT_NE(_stricmp("\x83\x41", "\x83\x61"), 0);
    EXPECT_EQ(_stricmp("\x83\x41x", "\x83\x41X"), 0);
    EXPECT_EQ(_strnicmp("ABCdef", "abcXYZ", 3), 0);
    EXPECT_NE(_strnicmp("ABCdef", "abcXYZ", 4), 0);
    EXPECT_EQ(_strnicmp("x", "y", 0), 0);
}

TEST(IntegerToText, BasesAndSigns)
{
    char buf[72];
    EXPECT_STREQ(_itoa(0, buf, 10), "0");
    EXPECT_STREQ(_itoa(-123, buf, 10), "-123");
    EXPECT_STREQ(_itoa(2147483647, buf, 10), "2147483647");
    EXPECT_STREQ(_itoa(-2147483647 - 1, buf, 10), "-2147483648");
    EXPECT_STREQ(_itoa(255, buf, 16), "ff");
    EXPECT_STREQ(_itoa(-1, buf, 16), "ffffffff");
    EXPECT_STREQ(_itoa(5, buf, 2), "101");
    EXPECT_STREQ(_itoa(35, buf, 36), "z");
}

TEST(TextToInteger, ReadsTheWayThePlatformRuntimeDoes)
{
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        // Blanks, a sign, digits up to the first other character.
        {"4", 4}, {"  \t\n\v\f\r 12", 12}, {"+7", 7}, {"-3", -3}, {"0xyz", 0}, {" 6", 6},
        {"9abc", 9}, {"257", 257}, {"12 34", 12}, {"007", 7}, {"-0", 0},
        // No digits: 0.
        {"", 0}, {"abc", 0}, {"+", 0}, {"-", 0}, {"+-1", 0}, {"- 1", 0}, {"\x82\x50", 0},
        // A blank that is no C-locale blank ends the scan.
        {"\xA0" "5", 0},
        // The edges of int and one past them.
        {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}, {"2147483648", INT_MAX}, {"-2147483649", INT_MIN},
        // Overflow saturates instead of wrapping: 4294967300 is 2^32 + 4.
        {"4294967300", INT_MAX}, {"4294967296", INT_MAX}, {"-4294967297", INT_MIN},
        {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN},
        {"18446744073709551620", INT_MAX}, {"000000000000000000004", 4},
        {"2147483648xyz", INT_MAX},
    };
    for (const Case& c : cases) EXPECT_EQ(CrtAtoi(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(CrtAtoi(nullptr), 0);
}

}  // namespace
