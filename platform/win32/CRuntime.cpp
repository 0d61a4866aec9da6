// The C runtime's path splitting, case-insensitive comparison and integer
// conversion, and the kernel's string functions.
#include "win32/Kernel.h"

#include "win32/Mbcs.h"

#include <climits>
#include <cstring>
#include <string_view>

namespace {

void CopyPart(char* out, size_t outSize, const char* from, size_t len)
{
    if (!out) return;
    if (len > outSize - 1) {
        len = outSize - 1;
        // Never leave half of a double-byte character at the cut.
        if (mbcs::IsTrailAt(std::string_view(from, len + 1), len)) --len;
    }
    std::memcpy(out, from, len);
    out[len] = '\0';
}

int FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

// Compares at most `count` bytes ignoring the case of single-byte ASCII
// letters; double-byte characters are compared exactly.
int CompareIgnoringCase(const char* a, const char* b, size_t count)
{
    size_t i = 0;
    bool aTrail = false, bTrail = false;
    while (i < count) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        // A byte is a trail byte when the byte before it opened a pair.
        bool aFold = !aTrail && !(mbcs::IsLeadByte(ca) && mbcs::IsTrailByte(static_cast<unsigned char>(a[i + 1])));
        bool bFold = !bTrail && !(mbcs::IsLeadByte(cb) && mbcs::IsTrailByte(static_cast<unsigned char>(b[i + 1])));
        int x = aFold ? FoldAscii(ca) : ca;
        int y = bFold ? FoldAscii(cb) : cb;
        if (x != y) return x - y;
        if (ca == 0) return 0;
        aTrail = !aTrail && mbcs::IsLeadByte(ca) && mbcs::IsTrailByte(static_cast<unsigned char>(a[i + 1]));
        bTrail = !bTrail && mbcs::IsLeadByte(cb) && mbcs::IsTrailByte(static_cast<unsigned char>(b[i + 1]));
        ++i;
    }
    return 0;
}

char* UnsignedToText(unsigned long long v, char* buffer, int radix, bool negative)
{
    if (!buffer) return buffer;
    if (radix < 2 || radix > 36) {
        buffer[0] = '\0';
        return buffer;
    }
    char tmp[72];
    int n = 0;
    do {
        int d = static_cast<int>(v % static_cast<unsigned>(radix));
        tmp[n++] = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
        v /= static_cast<unsigned>(radix);
    } while (v);
    char* p = buffer;
    if (negative) *p++ = '-';
    while (n) *p++ = tmp[--n];
    *p = '\0';
    return buffer;
}

char* SignedToText(long long value, unsigned long long asUnsigned, char* buffer, int radix)
{
    if (radix == 10 && value < 0)
        return UnsignedToText(0ULL - static_cast<unsigned long long>(value), buffer, radix, true);
    return UnsignedToText(asUnsigned, buffer, radix, false);
}

}  // namespace

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext)
{
    if (!path) path = "";
    std::string_view p(path);
    size_t pos = 0;
    // The drive part is only ever a letter and a colon.
    if (p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'))) {
        CopyPart(drive, _MAX_DRIVE, path, 2);
        pos = 2;
    } else if (drive) {
        drive[0] = '\0';
    }
    std::string_view rest = p.substr(pos);
    size_t lastSep = std::string_view::npos;
    size_t lastDot = std::string_view::npos;
    for (size_t i = 0; i < rest.size();) {
        size_t n = mbcs::CharLen(rest, i);
        if (n == 1) {
            if (rest[i] == '\\' || rest[i] == '/') lastSep = i;
            else if (rest[i] == '.') lastDot = i;
        }
        i += n;
    }
    size_t nameStart = lastSep == std::string_view::npos ? 0 : lastSep + 1;
    CopyPart(dir, _MAX_DIR, rest.data(), nameStart);
    if (lastDot != std::string_view::npos && lastDot >= nameStart) {
        CopyPart(fname, _MAX_FNAME, rest.data() + nameStart, lastDot - nameStart);
        CopyPart(ext, _MAX_EXT, rest.data() + lastDot, rest.size() - lastDot);
    } else {
        CopyPart(fname, _MAX_FNAME, rest.data() + nameStart, rest.size() - nameStart);
        if (ext) ext[0] = '\0';
    }
}

int _stricmp(const char* a, const char* b) { return CompareIgnoringCase(a, b, static_cast<size_t>(-1)); }

int _strnicmp(const char* a, const char* b, size_t count) { return CompareIgnoringCase(a, b, count); }

char* _itoa(int value, char* buffer, int radix)
{
    return SignedToText(value, static_cast<unsigned int>(value), buffer, radix);
}

int CrtAtoi(const char* text)
{
    if (!text) return 0;
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    // The magnitude is collected up to one past INT_MAX's, which is INT_MIN's.
    const unsigned long long limit = static_cast<unsigned long long>(INT_MAX) + (negative ? 1 : 0);
    unsigned long long magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
        if (magnitude > limit) return negative ? INT_MIN : INT_MAX;
    }
    const long long value = static_cast<long long>(magnitude);
    return static_cast<int>(negative ? -value : value);
}
