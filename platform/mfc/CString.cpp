#include "mfc/CString.h"

#include "win32/Mbcs.h"
#include "win32/ResourceTable.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// True when the character (1 or 2 bytes) `ch` occurs in `set` as a whole character.
bool SetHasChar(std::string_view set, std::string_view ch)
{
    for (size_t i = 0; i < set.size();) {
        size_t n = mbcs::CharLen(set, i);
        if (set.substr(i, n) == ch) return true;
        i += n;
    }
    return false;
}

}  // namespace

CString& CString::operator=(LPCTSTR text)
{
    // `text` may point into this string (s = static_cast<LPCTSTR>(s) + 1).
    std::string copy(text ? text : "");
    m_str.swap(copy);
    return *this;
}

LPTSTR CString::GetBuffer(int minLength)
{
    if (minLength > GetLength()) m_str.resize(static_cast<size_t>(minLength), '\0');
    return m_str.data();
}

void CString::ReleaseBuffer(int newLength)
{
    size_t len = newLength < 0 ? strnlen(m_str.data(), m_str.size())
                               : std::min(static_cast<size_t>(newLength), m_str.size());
    m_str.resize(len);
}

CString& CString::operator+=(const CString& other)
{
    m_str += other.m_str;
    return *this;
}

CString& CString::operator+=(LPCTSTR text)
{
    if (text) m_str.append(std::string(text));  // copy first: text may point into m_str
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_str.push_back(ch);
    return *this;
}

CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
CString operator+(const CString& a, LPCTSTR b) { CString r(a); r += b; return r; }

CString CString::Left(int count) const
{
    if (count <= 0) return CString();
    if (count >= GetLength()) return *this;
    return CString(std::string_view(m_str).substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    if (first < 0) first = 0;
    if (count < 0) count = 0;
    if (first >= GetLength() || count == 0) return CString();
    int avail = GetLength() - first;
    if (count > avail) count = avail;
    return CString(std::string_view(m_str).substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

int CString::ReverseFind(char ch) const
{
    size_t r = mbcs::FindLastChar(m_str, ch);
    return r == std::string_view::npos ? -1 : static_cast<int>(r);
}

int CString::FindOneOf(LPCTSTR set) const
{
    if (!set) return -1;
    std::string_view s = m_str;
    for (size_t i = 0; i < s.size();) {
        size_t n = mbcs::CharLen(s, i);
        if (SetHasChar(set, s.substr(i, n))) return static_cast<int>(i);
        i += n;
    }
    return -1;
}

void CString::FormatV(LPCTSTR format, va_list args)
{
    if (!format) {
        m_str.clear();
        return;
    }
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n < 0) {
        m_str.clear();
        return;
    }
    std::string out(static_cast<size_t>(n), '\0');
    vsnprintf(out.data(), out.size() + 1, format, args);
    m_str.swap(out);  // the arguments may point into this string: replace it only now
}

void CString::FormatImpl(LPCTSTR format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

BOOL CString::LoadString(UINT id)
{
    const char* text = ResourceTable::FindString(id);
    if (!text) {
        m_str.clear();
        return FALSE;
    }
    m_str = text;
    return TRUE;
}
