#include "ReportTestSupport.h"

#include "report/CSupportInfo.h"

#include <cstring>
#include <string>

namespace {

using namespace reporttest;

const std::string kName = "[=製品名=]";
const std::string kVersion = "[=製品ﾊﾞｰｼﾞｮﾝ=]";
const std::string kInquiry = "[=お問い合わせ内容=]";
const std::string kSteps = "[=症状が再現する手順や条件=]";

// Each test runs in a folder of its own, made the current directory.
class SupportInfoTest : public InHostDirTest {
protected:
    void WriteFile(const std::string& bytes) const { WriteSupportFile(bytes); }

    // A fresh reader of `bytes` gives this product name and version (null:
    // not looked at).
    void ExpectValues(const std::string& bytes, const char* name, const char* version) const
    {
        WriteSupportFile(bytes);
        CSupportInfo info;
        if (name) {
            EXPECT_STREQ(info.GetProductName(), name);
        }
        if (version) {
            EXPECT_STREQ(info.GetProductVersion(), version);
        }
    }

    // A file of `size` bytes of filler lines with `text` placed at `at`.
    static std::string Filled(size_t size, size_t at, const std::string& text)
    {
        std::string s;
        while (s.size() < size) s += "filler line of the support file\r\n";
        s.resize(size);
        s.replace(at, text.size(), text);
        return s;
    }

};

}  // namespace

TEST(SupportInfoKeys, MarkerLengthsAreTheirBytes)
{
    EXPECT_EQ(SupportInfoKeyTable[kSupportKeyProductName].length, 10);
    EXPECT_EQ(SupportInfoKeyTable[kSupportKeyProductVersion].length, 15);
    EXPECT_EQ(SupportInfoKeyTable[kSupportKeyInquiry].length, 20);
    EXPECT_EQ(SupportInfoKeyTable[kSupportKeyReproduction].length, 28);
    for (const SupportInfoKey& k : SupportInfoKeyTable)
        EXPECT_EQ(static_cast<int>(std::strlen(k.marker)), k.length) << k.marker;
    EXPECT_STREQ(SupportInfoKeyTable[kSupportKeyProductVersion].marker,
                 "[=\x90\xBB\x95\x69\xCA\xDE\xB0\xBC\xDE\xAE\xDD=]");
}

TEST_F(SupportInfoTest, OneLineValuesEndAtTheirLineEnd)
{
    ExpectValues("[=会社名=]ゼルコ\r\n" + kName + "Varnel２２\r\n" + kVersion + "22.50.01\r\n[=OS=]x\r\n", "Varnel２２",
                 "22.50.01");
}

TEST_F(SupportInfoTest, FirstOccurrenceWhereverItStands)
{
    // The first version marker is directly followed by its line end.
    ExpectValues("note " + kName + "First\r\n" + kName + "Second\r\n" + kVersion + "\r\n" + kVersion + "9\r\n", "First",
                 "");
}

TEST_F(SupportInfoTest, EndOfFileByteAndLoneLineEndBytes)
{
    ExpectValues(kName + "A\rB\nC\r\n" + kVersion + "22.5\x1A" + "junk\r\n", "A\rB\nC", "22.5");
}

// 0xFF bytes of the file are content; only the fill behind a file shorter
// than the block ends a value that has no line end.
TEST_F(SupportInfoTest, FFBytesOfTheFileAreContent)
{
    {
        SCOPED_TRACE("inside a one-line value, and at the start of one");
        ExpectValues(kName + "AB\xFF" + "CD\r\n" + kVersion + "\xFFX\r\n", "AB\xFF" "CD", "\xFFX");
    }
    {
        SCOPED_TRACE("the last value without a line end, its own last byte 0xFF");
        ExpectValues(kVersion + "AB\xFF" + "CD\r\n" + kName + "Tail\xFF", "Tail\xFF", "AB\xFF" "CD");
    }
    {
        SCOPED_TRACE("a file that fills the block has no fill: its 0xFF bytes run to the block's end");
        ExpectValues(Filled(30000, 29978, kVersion + "22\xFF\xFF\xFF\xFF\xFF"), nullptr, "22\xFF\xFF\xFF\xFF\xFF");
    }
    {
        SCOPED_TRACE("a multi-line value goes on past a 0xFF byte to the next marker line");
        WriteFile(kInquiry + "\r\na\xFF" + "b\r\nc\r\n" + kName + "N\r\n");
        CSupportInfo info;
        EXPECT_STREQ(info.GetProductName(), "N");
        EXPECT_STREQ(reinterpret_cast<const char*>(info.GetBlock()) + kInquiry.size(), "\r\na\xFF" "b\r\nc");
    }
}

TEST_F(SupportInfoTest, MultiLineFieldsKeepTheirLineEnds)
{
    WriteFile(kInquiry + "\r\nline 1\r\n" + "line 2 [x]\r\n" + kName + "Varnel\r\n" + kSteps + "\r\nstep 1\r\nstep 2");
    CSupportInfo info;
    EXPECT_STREQ(info.GetProductName(), "Varnel");
    const char* block = reinterpret_cast<const char*>(info.GetBlock());
    ASSERT_NE(block, nullptr);
    EXPECT_STREQ(block + kInquiry.size(), "\r\nline 1\r\nline 2 [x]");
    size_t steps = std::string(block, 200).find(kSteps);
    ASSERT_NE(steps, std::string::npos);
    EXPECT_STREQ(block + steps + kSteps.size(), "\r\nstep 1\r\nstep 2");
}

TEST_F(SupportInfoTest, MissingFileAndEmptyFile)
{
    {
        CSupportInfo info;
        EXPECT_EQ(info.Load(), 0);
        EXPECT_EQ(info.Load(), 1);   // the block is held; the file is not tried again
        EXPECT_STREQ(info.GetProductName(), "");
        EXPECT_STREQ(info.GetProductVersion(), "");
    }
    WriteFile("");
    CSupportInfo info;
    EXPECT_EQ(info.Load(), 1);
    EXPECT_STREQ(info.GetProductName(), "");
    EXPECT_STREQ(info.GetProductVersion(), "");
}

TEST_F(SupportInfoTest, FileIsReadOnce)
{
    WriteFile(kName + "Once\r\n" + kVersion + "1.0\r\n");
    CSupportInfo info;
    EXPECT_STREQ(info.GetProductName(), "Once");
    WriteFile(kName + "Twice\r\n" + kVersion + "2.0\r\n");
    EXPECT_STREQ(info.GetProductVersion(), "1.0");
    fs::remove(dir / "SUPPORT.INF");
    EXPECT_STREQ(info.GetProductName(), "Once");
}

TEST_F(SupportInfoTest, OnlyTheFirst30000BytesAreRead)
{
    // 40,000 bytes, the product-name marker at 31,000: not found.
    ExpectValues(Filled(40000, 31000, kName + "Beyond\r\n"), "", "");
}

TEST_F(SupportInfoTest, MarkersAtTheBlocksEnd)
{
    {
        SCOPED_TRACE("a marker that ends exactly at the block's end: an empty value");
        ExpectValues(Filled(30100, 30000 - kName.size(), kName + "NotRead\r\n"), "", nullptr);
    }
    {
        SCOPED_TRACE("a marker that straddles the block's end does not count");
        ExpectValues(Filled(30100, 29995, kName + "X\r\n"), "", nullptr);
    }
    {
        SCOPED_TRACE("a value that runs to the block's end ends there");
        ExpectValues(Filled(30100, 29980, kVersion + "22.50" + "MORE\r\n"), nullptr, "22.50");
    }
    {
        // A multi-line value that runs to the block's end, and a CR as the
        // block's last byte whose LF lies beyond it.
        std::string s = Filled(30100, 29950, kInquiry + "\r\nabc");
        s[29999] = '\r';
        s[30000] = '\n';
        WriteFile(s);
        CSupportInfo info;
        EXPECT_EQ(info.Load(), 1);
        const char* value = reinterpret_cast<const char*>(info.GetBlock()) + 29950 + kInquiry.size();
        EXPECT_EQ(std::string(value), s.substr(29950 + kInquiry.size(), 30000 - 29950 - kInquiry.size()));
    }
}

TEST_F(SupportInfoTest, FillBehindAShortFile)
{
    WriteFile(kName + "N\r\n");
    CSupportInfo info;
    ASSERT_EQ(info.Load(), 1);
    const BYTE* b = info.GetBlock();
    EXPECT_EQ(std::memcmp(b, kName.data(), kName.size()), 0);
    EXPECT_EQ(b[kName.size()], 'N');
    EXPECT_EQ(b[kName.size() + 1], 0);   // CR LF become terminators
    EXPECT_EQ(b[kName.size() + 2], 0);
    // Nothing of the fill is taken for text.
    for (int i = static_cast<int>(kName.size()) + 3; i < CSupportInfo::kBlockSize; ++i)
        ASSERT_NE(b[i], 0xFF) << i;
}
