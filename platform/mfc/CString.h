// The framework's string class, multibyte build: text is code page 932 bytes,
// lengths and indexes count bytes, and every search for a single-byte
// character or a substring steps over double-byte characters whole, so the
// second byte of a double-byte character (which may be 0x5C or 0x7C) never
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
    CString(LPCTSTR text, int count);                    // the first `count` bytes (stops at a NUL)
    CString(char ch, int repeat = 1);
    explicit CString(std::string_view text) : m_str(text) {}

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(LPCTSTR text);
    CString& operator=(char ch);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }

    operator LPCTSTR() const { return m_str.c_str(); }
    LPCTSTR GetString() const { return m_str.c_str(); }
    std::string_view View() const { return m_str; }

    // Direct access: GetBuffer(n) gives room for at least n bytes and a NUL,
    // holding the current text; ReleaseBuffer(-1) takes the text up to the
    // first NUL, ReleaseBuffer(n) keeps exactly n bytes.
    LPTSTR GetBuffer(int minLength = 0);
    void ReleaseBuffer(int newLength = -1);
    LPTSTR GetBufferSetLength(int length);

    char operator[](int index) const { return GetAt(index); }
    char GetAt(int index) const;
    void SetAt(int index, char ch);

    CString& operator+=(const CString& other);
    CString& operator+=(LPCTSTR text);
    CString& operator+=(char ch);

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCTSTR b);
    friend CString operator+(LPCTSTR a, const CString& b);
    friend CString operator+(const CString& a, char b);
    friend CString operator+(char a, const CString& b);

    // Byte-wise comparison (bytes taken as unsigned): <0, 0, >0.
    int Compare(LPCTSTR other) const;
    // As Compare, ASCII letters of single-byte characters compared without case.
    int CompareNoCase(LPCTSTR other) const;

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // Byte index of the first match at or after `start` (a character start), or -1.
    int Find(char ch, int start = 0) const;
    int Find(LPCTSTR sub, int start = 0) const;
    int ReverseFind(char ch) const;
    // Byte index of the first character that is one of `set`'s characters, or -1.
    int FindOneOf(LPCTSTR set) const;

    // Case mapping of ASCII letters; double-byte characters are left alone.
    CString& MakeUpper();
    CString& MakeLower();

    // Trimming white space (space, tab, CR, LF, VT, FF), one character or any of a set.
    CString& TrimLeft();
    CString& TrimLeft(char ch);
    CString& TrimLeft(LPCTSTR set);
    CString& TrimRight();
    CString& TrimRight(char ch);
    CString& TrimRight(LPCTSTR set);
    CString& Trim() { TrimRight(); return TrimLeft(); }

    // Replaces every occurrence (at character boundaries); returns the count.
    int Replace(char oldCh, char newCh);
    int Replace(LPCTSTR oldText, LPCTSTR newText);
    int Remove(char ch);
    int Insert(int index, char ch);
    int Insert(int index, LPCTSTR text);
    int Delete(int index, int count = 1);

    // printf formatting. A CString argument is passed as its text.
    template <typename... Args>
    void Format(LPCTSTR format, const Args&... args)
    {
        FormatImpl(format, cstring_detail::FormatArg(args)...);
    }
    // Formatting with a format held in the string resources.
    template <typename... Args>
    void Format(UINT formatId, const Args&... args)
    {
        CString format;
        format.LoadString(formatId);
        FormatImpl(format.GetString(), cstring_detail::FormatArg(args)...);
    }
    void FormatV(LPCTSTR format, va_list args);

    // Loads a string resource (ResourceTable). FALSE, and the string emptied,
    // when there is no string of that id.
    BOOL LoadString(UINT id);

private:
    void FormatImpl(LPCTSTR format, ...);
    // Index of the character that starts at or after byte `from`.
    size_t CharStartAtOrAfter(size_t from) const;

    std::string m_str;
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCTSTR b);
bool operator==(LPCTSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCTSTR b);
bool operator!=(LPCTSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, LPCTSTR b);
bool operator<(LPCTSTR a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, LPCTSTR b);
bool operator>(LPCTSTR a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator>=(const CString& a, const CString& b);
