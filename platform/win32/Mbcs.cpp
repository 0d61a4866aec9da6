#include "win32/Mbcs.h"

#include <iconv.h>

#include <cerrno>

namespace mbcs {

size_t CharLen(std::string_view s, size_t i)
{
    if (i + 1 < s.size() && IsLeadByte(static_cast<unsigned char>(s[i])) &&
        IsTrailByte(static_cast<unsigned char>(s[i + 1])))
        return 2;
    return 1;
}

size_t FindChar(std::string_view s, char ch, size_t from)
{
    size_t i = 0;
    while (i < s.size()) {
        size_t n = CharLen(s, i);
        if (n == 1 && i >= from && s[i] == ch) return i;
        i += n;
    }
    return std::string_view::npos;
}

size_t FindLastChar(std::string_view s, char ch)
{
    size_t found = std::string_view::npos;
    size_t i = 0;
    while (i < s.size()) {
        size_t n = CharLen(s, i);
        if (n == 1 && s[i] == ch) found = i;
        i += n;
    }
    return found;
}

bool IsTrailAt(std::string_view s, size_t i)
{
    size_t k = 0;
    while (k < s.size() && k <= i) {
        size_t n = CharLen(s, k);
        if (n == 2 && k + 1 == i) return true;
        k += n;
    }
    return false;
}

namespace {

std::string Convert(const char* to, const char* from, std::string_view in, bool* ok)
{
    if (ok) *ok = true;
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1) {
        if (ok) *ok = false;
        return std::string(in);
    }
    out.reserve(in.size() * 2);
    const char* p = in.data();
    size_t left = in.size();
    char buf[1024];
    while (left > 0) {
        char* o = buf;
        size_t room = sizeof buf;
        char* ip = const_cast<char*>(p);
        size_t r = iconv(cd, &ip, &left, &o, &room);
        out.append(buf, static_cast<size_t>(o - buf));
        p = ip;
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // An invalid or incomplete sequence: replace one byte and go on.
            if (ok) *ok = false;
            out.push_back('?');
            ++p;
            --left;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932, bool* ok) { return Convert("UTF-8", "CP932", cp932, ok); }
std::string Utf8ToCp932(std::string_view utf8, bool* ok) { return Convert("CP932", "UTF-8", utf8, ok); }

}  // namespace mbcs
