// Property tests of the support-information reader over seeded random files.
//
// Structured files (marker lines of one-line and multi-line fields, values of
// any bytes but the line end, lone CRs and LFs, 0xFF, 0x1A and NUL bytes,
// markers repeated, at the start, at the very end of the 30000-byte block
// or beyond it, files of up to 40,000 bytes with or without a final line end):
// the product name and version are the bytes behind the first occurrence of
// their marker that lies wholly within the file's first 30000 bytes, up to the
// first CR LF pair, 0x1A or NUL, or to the end of the file's content within
// those 30000 bytes (0xFF bytes of the file are content); empty when there is
// no such occurrence.
// Any bytes at all (with markers sown in): every value lies inside the block
// and ends inside it (its NUL at most at the block's end), is the file's own
// bytes at its place, holds no 0x1A, and is empty when its marker does not lie
// wholly within the first 30000 bytes. The sanitizer build checks that nothing is read outside the
// block.
#include "ReportTestSupport.h"

#include "report/CSupportInfo.h"

#include "tests/support/FuzzText.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

using namespace reporttest;

const std::string kName = "[=製品名=]";
const std::string kVersion = "[=製品ﾊﾞｰｼﾞｮﾝ=]";
const std::string kInquiry = "[=お問い合わせ内容=]";
const std::string kSteps = "[=症状が再現する手順や条件=]";
const std::string kOthers[] = {"[=会社名=]", "[=OS=]", "[=ﾒﾓﾘ=]", "[=ﾃﾞｰﾀ名=]"};
constexpr size_t kBlock = CSupportInfo::kBlockSize;

class SupportInfoFuzzTest : public InHostDirTest {
protected:
    void WriteFile(const std::string& bytes) const { WriteSupportFile(bytes); }
};

// The value a one-line field must give on these file bytes.
std::string Expected(const std::string& file, const std::string& marker)
{
    const std::string content = file.substr(0, std::min(file.size(), kBlock));
    const size_t at = content.find(marker);
    if (at == std::string::npos) return "";
    const std::string rest = content.substr(at + marker.size());
    size_t end = rest.find("\r\n");
    for (char stop : {'\x1A', '\0'}) end = std::min(end, rest.find(stop));
    return rest.substr(0, end);
}

// Checks that a value lies in the block, ends inside it and is the file's
// own bytes at its place; returns it.
std::string Within(const CSupportInfo& info, LPCSTR value, const std::string& file)
{
    const BYTE* block = info.GetBlock();
    const BYTE* p = reinterpret_cast<const BYTE*>(value);
    if (block == nullptr || p < block || p > block + kBlock) {
        EXPECT_STREQ(value, "") << "a value outside the block must be the empty text";
        return value;
    }
    const size_t len = ::strnlen(value, static_cast<size_t>(block + kBlock - p) + 1);
    EXPECT_LE(p + len, block + kBlock) << "value runs beyond the block";
    const std::string v(value, len);
    // The file's bytes, but for a pair of terminators (NUL or 0x1A) that a
    // multi-line walk through the value turned into a line end.
    const size_t at = static_cast<size_t>(p - block);
    EXPECT_LE(at + len, file.size());
    for (size_t k = 0; k < len && at + k < file.size(); ++k) {
        const char f = file[at + k];
        const bool restored = (f == '\0' || f == '\x1A') && (v[k] == '\r' || v[k] == '\n');
        if (v[k] != f && !restored) {
            ADD_FAILURE() << "value byte " << k << " is not the file's byte at " << at + k;
            break;
        }
    }
    EXPECT_EQ(v.find('\x1A'), std::string::npos);
    return v;
}

std::string OneLineValue(fuzz::Gen& g)
{
    std::string v;
    for (char c : g.Text(g.Chance(3) ? 2000 : 30, "abc 0.9\r\n\x1A\xFF[="))
        v += c;
    // Keep the multi-line markers out of one-line values (their walk would
    // join lines by design); a product marker inside a value is fine.
    if (g.Chance(5)) v += g.Chance(50) ? kName : kVersion;
    size_t cut;
    while ((cut = v.find("\r\n")) != std::string::npos) v.erase(cut, 1);
    return v;
}

std::string StructuredFile(fuzz::Gen& g)
{
    std::string f;
    const long long lines = g.Int(0, 40);
    for (long long i = 0; i < lines; ++i) {
        switch (g.Int(0, 7)) {
        case 0: f += kName; break;
        case 1: f += kVersion; break;
        case 2:
            f += g.Chance(50) ? kInquiry : kSteps;
            for (long long k = g.Int(0, 4); k > 0; --k) f += "\r\n" + OneLineValue(g);
            break;
        case 3: f += std::string(static_cast<size_t>(g.Int(100, 4000)), 'p'); break;  // padding towards 30000
        default: f += kOthers[g.Int(0, 3)]; break;
        }
        f += OneLineValue(g);
        if (i + 1 < lines || g.Chance(60)) f += "\r\n";
    }
    // A marker placed right at or across the end of the block, or far beyond.
    if (g.Chance(25)) {
        const std::string& m = g.Chance(50) ? kName : kVersion;
        const size_t at = static_cast<size_t>(g.Int(kBlock - m.size() - 3, kBlock + 20));
        if (f.size() < at) f += std::string(at - f.size(), 'q');
        f.replace(at, std::min(m.size(), f.size() - at), m);
        if (g.Chance(50)) f += "tail";
    }
    if (g.Chance(10) && f.size() < 40000) f += std::string(40000 - f.size(), '\xFF');
    return f;
}

TEST_F(SupportInfoFuzzTest, StructuredFilesGiveTheValueToTheLineEnd)
{
    const uint32_t seed = fuzz::Seed(0x5EED0401u);
    fuzz::Gen g(seed);
    int named = 0;
    for (int n = 0; n < fuzz::Cases(300); ++n) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(n));
        const std::string file = StructuredFile(g);
        WriteFile(file);
        CSupportInfo info;
        const std::string name = Within(info, info.GetProductName(), file);
        const std::string version = Within(info, info.GetProductVersion(), file);
        ASSERT_EQ(name, Expected(file, kName)) << "file of " << file.size() << " bytes";
        ASSERT_EQ(version, Expected(file, kVersion)) << "file of " << file.size() << " bytes";
        named += !name.empty();
    }
    EXPECT_GT(named, 50);
}

TEST_F(SupportInfoFuzzTest, AnyBytesStayInsideTheBlock)
{
    const uint32_t seed = fuzz::Seed(0x5EED0402u);
    fuzz::Gen g(seed);
    for (int n = 0; n < fuzz::Cases(200); ++n) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(n));
        std::string file;
        const long long size = g.Chance(30) ? g.Int(29000, 40000) : g.Int(0, 3000);
        while (static_cast<long long>(file.size()) < size) {
            switch (g.Int(0, 9)) {
            case 0: file += kName; break;
            case 1: file += kVersion; break;
            case 2: file += kInquiry; break;
            case 3: file += kSteps; break;
            case 4: file += "[="; break;
            case 5: file += std::string(static_cast<size_t>(g.Int(1, 500)), "\xFF\r\n\x1A\0"[g.Int(0, 4)]); break;
            default: file += g.Text(200, "\r\n\x1A\xFF[="); break;
            }
        }
        if (g.Chance(20)) {  // a multi-line value whose walk reaches the block's end
            file.resize(std::max(file.size(), kBlock - 10), 'w');
            file.replace(kBlock - 10, std::string::npos, kSteps + "x\r\n");
        }
        WriteFile(file);

        CSupportInfo info;
        const std::string name = Within(info, info.GetProductName(), file);
        const std::string version = Within(info, info.GetProductVersion(), file);
        const std::string content = file.substr(0, std::min(file.size(), kBlock));
        ASSERT_TRUE(content.find(kName) != std::string::npos || name.empty());
        ASSERT_TRUE(content.find(kVersion) != std::string::npos || version.empty());
        // A second reader of the same file gives the same values.
        CSupportInfo again;
        ASSERT_EQ(std::string(again.GetProductName()), name);
        ASSERT_EQ(std::string(again.GetProductVersion()), version);
    }
}

}  // namespace
