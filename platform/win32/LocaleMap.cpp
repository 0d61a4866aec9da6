// The locale identifiers and the full-width mapping of code page 932 text.
//
// LCMAP_FULLWIDTH goes through Unicode: ASCII 0x21-0x7E becomes U+FF01-U+FF5E
// (so '"' is U+FF02, '\'' U+FF07, '\\' U+FF3C, '~' U+FF5E), the space U+3000,
// half-width katakana and punctuation their full-width forms, and a
// half-width katakana followed by a voiced or semi-voiced mark the one
// combined character (ｶﾞ -> ガ, ﾊﾟ -> パ, ｳﾞ -> ヴ). Each is then written in
// code page 932 (U+FF02 and U+FF07 have only their extension codes 0xFA57 and
// 0xFA56). Every full-width form named here has a code page 932 code; should
// a conversion ever fail, the half-width byte is kept as it is. Double-byte
// characters, control bytes and bytes outside these ranges stay unchanged.
#include "win32/Kernel.h"

#include "win32/Mbcs.h"

#include <array>
#include <cstring>
#include <string>

namespace {

// Unicode full-width forms of the half-width bytes 0xA1-0xDF.
const unsigned short kKanaWide[63] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,  // ｡｢｣､･ｦｧｨｩｪｫ
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC,                                                  // ｬｭｮｯｰ
    0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA,                                                  // ｱｲｳｴｵ
    0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,                                                  // ｶｷｸｹｺ
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD,                                                  // ｻｼｽｾｿ
    0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8,                                                  // ﾀﾁﾂﾃﾄ
    0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE,                                                  // ﾅﾆﾇﾈﾉ
    0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB,                                                  // ﾊﾋﾌﾍﾎ
    0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2,                                                  // ﾏﾐﾑﾒﾓ
    0x30E4, 0x30E6, 0x30E8,                                                                  // ﾔﾕﾖ
    0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED,                                                  // ﾗﾘﾙﾚﾛ
    0x30EF, 0x30F3, 0x309B, 0x309C,                                                          // ﾜﾝﾞﾟ
};

const unsigned char kVoiced = 0xDE;      // ﾞ
const unsigned char kSemiVoiced = 0xDF;  // ﾟ

std::string Utf8Of(unsigned cp)
{
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

// The code page 932 form of a code point; empty when it has none.
std::string Cp932Of(unsigned cp)
{
    bool ok = false;
    std::string s = mbcs::Utf8ToCp932(Utf8Of(cp), &ok);
    return ok ? s : std::string();
}

struct WideTable {
    std::array<std::string, 256> single;  // full-width form of each single byte (empty: none)
    WideTable()
    {
        single[0x20] = Cp932Of(0x3000);
        for (unsigned c = 0x21; c <= 0x7E; ++c) single[c] = Cp932Of(0xFF01 + (c - 0x21));
        for (unsigned c = 0xA1; c <= 0xDF; ++c) single[c] = Cp932Of(kKanaWide[c - 0xA1]);
    }
};

const WideTable& Table()
{
    static const WideTable table;
    return table;
}

// The combined full-width form of a half-width kana and the mark after it;
// empty when the pair does not combine.
std::string Combined(unsigned char kana, unsigned char mark)
{
    unsigned base = kKanaWide[kana - 0xA1];
    if (mark == kVoiced) {
        if (kana == 0xB3) return Cp932Of(0x30F4);                         // ｳﾞ -> ヴ
        if ((kana >= 0xB6 && kana <= 0xC4) || (kana >= 0xCA && kana <= 0xCE))  // ｶ-ﾄ, ﾊ-ﾎ
            return Cp932Of(base + 1);
    } else if (mark == kSemiVoiced) {
        if (kana >= 0xCA && kana <= 0xCE) return Cp932Of(base + 2);  // ﾊ-ﾎ
    }
    return {};
}

std::string ToFullWidth(const char* src, size_t len)
{
    const WideTable& t = Table();
    std::string_view s(src, len);
    std::string out;
    out.reserve(len * 2);
    size_t i = 0;
    while (i < len) {
        size_t n = mbcs::CharLen(s, i);
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (n == 2 || c == 0) {
            out.append(s.substr(i, n));
            i += n;
            continue;
        }
        if (c >= 0xA1 && c <= 0xDD && i + 1 < len) {
            std::string both = Combined(c, static_cast<unsigned char>(s[i + 1]));
            if (!both.empty()) {
                out += both;
                i += 2;
                continue;
            }
        }
        if (!t.single[c].empty()) out += t.single[c];
        else out += static_cast<char>(c);
        ++i;
    }
    return out;
}

}  // namespace

LCID GetSystemDefaultLCID() { return LANG_JAPANESE_JAPAN; }

int LCMapStringA(LCID, DWORD dwMapFlags, LPCSTR lpSrcStr, int cchSrc, LPSTR lpDestStr, int cchDest)
{
    if (!lpSrcStr || cchSrc == 0 || cchSrc < -1 || cchDest < 0 || (cchDest > 0 && !lpDestStr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (dwMapFlags != LCMAP_FULLWIDTH) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    // With -1 the terminating NUL is part of the text and of the count.
    size_t len = cchSrc == -1 ? std::strlen(lpSrcStr) + 1 : static_cast<size_t>(cchSrc);
    std::string out = ToFullWidth(lpSrcStr, len);
    if (cchDest == 0) return static_cast<int>(out.size());
    if (out.size() > static_cast<size_t>(cchDest)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpDestStr, out.data(), out.size());
    return static_cast<int>(out.size());
}
