// The framework's string class, multibyte build: text is code page 932 bytes,
// lengths and indexes count bytes, and every search steps over double-byte
// characters whole, so the second byte of a double-byte character (which may be 0x5C or 0x7C) never
// matches. Embedded NUL bytes are not supported.
#pragma once

#include "win32/WinTypes.h"

#include <cstdarg>
#include <string>
#include <string_view>
#include <type_traits>

class CString;

namespace cstring_detail {
// Format arguments: a CString is passed as its text, everything else as is.
// Only values printf can take are accepted, so a std::string or another class
// object never slips through the variable argument list.
template <typename T>
decltype(auto) FormatArg(const T& value)
{
    if constexpr (std::is_same_v<T, CString>) {
        return static_cast<LPCTSTR>(value);
    } else if constexpr (std::is_array_v<T>) {
        return static_cast<const std::remove_extent_t<T>*>(value);
    } else {
        static_assert(std::is_arithmetic_v<T> || std::is_pointer_v<T> || std::is_enum_v<T> ||
                          std::is_null_pointer_v<T>,
                      "CString::Format takes numbers, pointers and CString values only");
        return value;
    }
}
}  // namespace cstring_detail

class CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(LPCTSTR text) : m_str(text ? text : "") {}  // null gives an empty string
    explicit CString(std::string_view text) : m_str(text) {}

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(LPCTSTR text);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }

    operator LPCTSTR() const { return m_str.c_str(); }

    // Direct access: GetBuffer(n) gives room for at least n bytes and a NUL,
    // holding the current text; ReleaseBuffer(-1) takes the text up to the
    // first NUL, ReleaseBuffer(n) keeps exactly n bytes.
    LPTSTR GetBuffer(int minLength = 0);
    void ReleaseBuffer(int newLength = -1);

    CString& operator+=(const CString& other);
    CString& operator+=(LPCTSTR text);
    CString& operator+=(char ch);

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCTSTR b);

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // Byte index of the last single-byte character `ch` (never a trail byte), or -1.
    int ReverseFind(char ch) const;
    // Byte index of the first character that is one of `set`'s characters, or -1.
    int FindOneOf(LPCTSTR set) const;

    // printf formatting. A CString argument is passed as its text.
    template <typename... Args>
    void Format(LPCTSTR format, const Args&... args)
    {
        FormatImpl(format, cstring_detail::FormatArg(args)...);
    }

    // Loads a string resource (ResourceTable). FALSE, and the string emptied,
    // when there is no string of that id.
    BOOL LoadString(UINT id);

private:
    void FormatImpl(LPCTSTR format, ...);
    void FormatV(LPCTSTR format, va_list args);

    std::string m_str;
};

// No comparison operators: the program compares no strings. They are declared
// deleted so that a comparison does not compile, through the LPCTSTR
// conversion, as one of two pointers; a first use defines them with a test.
bool operator==(const CString&, const CString&) = delete;
bool operator!=(const CString&, const CString&) = delete;
bool operator<(const CString&, const CString&) = delete;
bool operator>(const CString&, const CString&) = delete;
bool operator<=(const CString&, const CString&) = delete;
bool operator>=(const CString&, const CString&) = delete;
