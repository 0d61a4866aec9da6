#include "win32/Kernel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Narrow literals are code page 932: "０" is 0x82 0x4F, "ｶ" is 0xB6.
std::string Wide(const std::string& src)
{
    char out[256];
    int n = LCMapStringA(GetSystemDefaultLCID(), LCMAP_FULLWIDTH, src.data(), static_cast<int>(src.size()), out,
                         sizeof out);
    EXPECT_GT(n, 0) << src;
    return std::string(out, n > 0 ? static_cast<size_t>(n) : 0);
}

TEST(FullWidth, DigitsLettersAndSymbols)
{
    EXPECT_EQ(Wide("0123456789"), "０１２３４５６７８９");
    EXPECT_EQ(Wide("AZaz"), "ＡＺａｚ");
    EXPECT_EQ(Wide(" "), "\x81\x40");           // U+3000
    EXPECT_EQ(Wide("\""), "\xFA\x57");          // U+FF02
    EXPECT_EQ(Wide("'"), "\xFA\x56");           // U+FF07
    EXPECT_EQ(Wide("\\"), "\x81\x5F");          // U+FF3C
    EXPECT_EQ(Wide("~"), "\x81\x60");           // U+FF5E
    EXPECT_EQ(Wide("-"), "\x81\x7C");           // U+FF0D
    EXPECT_EQ(Wide("!#$%&()*+,./:;<=>?@[]^_`{|}"), "！＃＄％＆（）＊＋，．／：；＜＝＞？＠［］＾＿｀｛｜｝");
}

TEST(FullWidth, HalfWidthKatakanaWithVoicedMarks)
{
    EXPECT_EQ(Wide("ｶﾞ"), "ガ");
    EXPECT_EQ(Wide("\xB6\xDE"), "\x83\x4B");  // the same with raw bytes
    EXPECT_EQ(Wide("ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"), "パピプペポ");
    EXPECT_EQ(Wide("ﾊﾞﾄﾞｻﾞ"), "バドザ");
    EXPECT_EQ(Wide("ｳﾞ"), "ヴ");
    // Marks that do not combine stay separate full-width marks.
    EXPECT_EQ(Wide("ｱﾞ"), "ア゛");
    EXPECT_EQ(Wide("ｶﾟ"), "カ゜");
    EXPECT_EQ(Wide("ﾞﾟ"), "゛゜");
    EXPECT_EQ(Wide("ｶﾌﾞｼｷｶﾞｲｼｬ"), "カブシキガイシャ");
    EXPECT_EQ(Wide("｡｢｣､･ｦｧｯｰﾝ"), "。「」、・ヲァッーン");
}

TEST(FullWidth, DoubleByteTextStaysAndMixesWithConversions)
{
    EXPECT_EQ(Wide("消費税"), "消費税");
    // ソ and 表 end in 0x5C and ポ in 0x7C: those bytes are not '\\' or '|'.
    EXPECT_EQ(Wide("ソ表ポ"), "ソ表ポ");
    EXPECT_EQ(Wide("株式会社ABC 1"), "株式会社ＡＢＣ　１");
    // Control bytes and a lone lead byte at the end stay as they are.
    EXPECT_EQ(Wide("\t\x83"), "\t\x83");
}

TEST(FullWidth, LengthsSizeQueryAndErrors)
{
    // -1: the NUL is mapped and counted.
    char out[16];
    EXPECT_EQ(LCMapStringA(GetSystemDefaultLCID(), LCMAP_FULLWIDTH, "a1", -1, out, sizeof out), 5);
    EXPECT_STREQ(out, "ａ１");
    EXPECT_EQ(LCMapStringA(GetSystemDefaultLCID(), LCMAP_FULLWIDTH, "a1", -1, nullptr, 0), 5);
    EXPECT_EQ(LCMapStringA(GetSystemDefaultLCID(), LCMAP_FULLWIDTH, "ｶﾞ", 2, nullptr, 0), 2);
    EXPECT_EQ(LCMapStringA(GetSystemDefaultLCID(), LCMAP_FULLWIDTH, "abc", 3, out, 5), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(LCMapStringA(GetSystemDefaultLCID(), LCMAP_FULLWIDTH, "abc", 0, out, 5), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(LCMapStringA(GetSystemDefaultLCID(), 0, "abc", 3, out, 5), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
    EXPECT_EQ(GetSystemDefaultLCID(), 0x0411u);
}

}  // namespace
