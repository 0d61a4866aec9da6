#include "win32/Mbcs.h"

#include <gtest/gtest.h>

namespace {

// "ソ" is 0x83 0x5C and "表" is 0x95 0x5C in code page 932: their second byte
// is a backslash. "ポ" is 0x83 0x7C, whose second byte is '|'.
TEST(Mbcs, LiteralsAreCodePage932)
{
    const std::string so = "ソ";
    ASSERT_EQ(so.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(so[0]), 0x83);
    EXPECT_EQ(static_cast<unsigned char>(so[1]), 0x5C);
}

TEST(Mbcs, SearchesStepOverDoubleByteCharacters)
{
    const std::string path = "C:\\ソ表\\ポ|x";
    EXPECT_EQ(mbcs::FindChar(path, '\\'), 2u);
    EXPECT_EQ(mbcs::FindChar(path, '\\', 3), 7u);
    EXPECT_EQ(mbcs::FindLastChar(path, '\\'), 7u);
    EXPECT_EQ(mbcs::FindChar(path, '|'), 10u);
    EXPECT_EQ(mbcs::FindLastChar("ソ表", '\\'), std::string::npos);
    EXPECT_TRUE(mbcs::IsTrailAt(path, 4));
    EXPECT_FALSE(mbcs::IsTrailAt(path, 7));
}

TEST(Mbcs, LoneLeadByteAtEndIsOneCharacter)
{
    const std::string s("a\x83", 2);
    EXPECT_EQ(mbcs::CharLen(s, 1), 1u);
    EXPECT_EQ(mbcs::FindChar(s, '\x83'), 1u);
}

TEST(Mbcs, ConvertsBothWaysAndFlagsBadBytes)
{
    bool ok = false;
    EXPECT_EQ(mbcs::Cp932ToUtf8("消費税", &ok), "\xE6\xB6\x88\xE8\xB2\xBB\xE7\xA8\x8E");
    EXPECT_TRUE(ok);
    EXPECT_EQ(mbcs::Utf8ToCp932("\xE6\xB6\x88\xE8\xB2\xBB\xE7\xA8\x8E", &ok), "消費税");
    EXPECT_TRUE(ok);
    const std::string bad("a\x83\x20", 3);  // lead byte followed by no trail byte
    mbcs::Cp932ToUtf8(bad, &ok);
    EXPECT_FALSE(ok);
}

}  // namespace
