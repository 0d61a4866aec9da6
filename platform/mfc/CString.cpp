#include "mfc/CString.h"

#include "win32/Mbcs.h"
#include "win32/ResourceTable.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

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

// Byte index of the first occurrence of `sub` in `s` at or after `from` that
// begins at a character start; npos when absent.
size_t FindAtCharStart(std::string_view s, std::string_view sub, size_t from)
{
    if (sub.empty()) return from <= s.size() ? from : std::string_view::npos;
    for (size_t i = 0; i < s.size();) {
        if (i >= from && s.compare(i, sub.size(), sub) == 0) return i;
        i += mbcs::CharLen(s, i);
    }
    return std::string_view::npos;
}

int CompareBytes(std::string_view a, std::string_view b)
{
    int r = a.compare(b);  // char_traits<char>::compare compares as unsigned char
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

}  // namespace

CString::CString(LPCTSTR text, int count)
{
    if (text && count > 0) m_str.assign(text, strnlen(text, static_cast<size_t>(count)));
}

CString::CString(char ch, int repeat)
{
    if (repeat > 0) m_str.assign(static_cast<size_t>(repeat), ch);
}

CString& CString::operator=(LPCTSTR text)
{
    // `text` may point into this string (s = s.GetString() + 1).
    std::string copy(text ? text : "");
    m_str.swap(copy);
    return *this;
}

CString& CString::operator=(char ch)
{
    m_str.assign(1, ch);
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

LPTSTR CString::GetBufferSetLength(int length)
{
    m_str.resize(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    return m_str.data();
}

char CString::GetAt(int index) const
{
    // The framework asserts on a bad index; reading the terminator is the
    // mildest answer a release build can give.
    if (index < 0 || index >= GetLength()) return '\0';
    return m_str[static_cast<size_t>(index)];
}

void CString::SetAt(int index, char ch)
{
    if (index < 0 || index >= GetLength()) return;
    m_str[static_cast<size_t>(index)] = ch;
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
CString operator+(LPCTSTR a, const CString& b) { CString r(a); r += b; return r; }
CString operator+(const CString& a, char b) { CString r(a); r += b; return r; }
CString operator+(char a, const CString& b) { CString r(a); r += b; return r; }

int CString::Compare(LPCTSTR other) const
{
    return CompareBytes(m_str, other ? other : "");
}

int CString::CompareNoCase(LPCTSTR other) const
{
    std::string_view a = m_str, b = other ? other : "";
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        size_t na = mbcs::CharLen(a, i), nb = mbcs::CharLen(b, j);
        if (na == 1 && nb == 1) {
            auto ca = static_cast<unsigned char>(AsciiLower(a[i]));
            auto cb = static_cast<unsigned char>(AsciiLower(b[j]));
            if (ca != cb) return ca < cb ? -1 : 1;
        } else {
            int r = CompareBytes(a.substr(i, na), b.substr(j, nb));
            if (r != 0) return r;
        }
        i += na;
        j += nb;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

CString CString::Left(int count) const
{
    if (count <= 0) return CString();
    if (count >= GetLength()) return *this;
    return CString(std::string_view(m_str).substr(0, static_cast<size_t>(count)));
}

CString CString::Right(int count) const
{
    if (count <= 0) return CString();
    if (count >= GetLength()) return *this;
    return CString(std::string_view(m_str).substr(m_str.size() - static_cast<size_t>(count)));
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

int CString::Find(char ch, int start) const
{
    if (start < 0) start = 0;
    if (start >= GetLength()) return -1;
    size_t r = mbcs::FindChar(m_str, ch, static_cast<size_t>(start));
    return r == std::string_view::npos ? -1 : static_cast<int>(r);
}

int CString::Find(LPCTSTR sub, int start) const
{
    if (!sub) return -1;
    if (start < 0) start = 0;
    if (start > GetLength()) return -1;
    size_t r = FindAtCharStart(m_str, sub, static_cast<size_t>(start));
    return r == std::string_view::npos ? -1 : static_cast<int>(r);
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

CString& CString::MakeUpper()
{
    for (size_t i = 0; i < m_str.size();) {
        size_t n = mbcs::CharLen(m_str, i);
        if (n == 1) m_str[i] = AsciiUpper(m_str[i]);
        i += n;
    }
    return *this;
}

CString& CString::MakeLower()
{
    for (size_t i = 0; i < m_str.size();) {
        size_t n = mbcs::CharLen(m_str, i);
        if (n == 1) m_str[i] = AsciiLower(m_str[i]);
        i += n;
    }
    return *this;
}

CString& CString::TrimLeft()
{
    size_t i = 0;
    while (i < m_str.size() && IsSpace(m_str[i])) ++i;  // white space is never a trail byte
    m_str.erase(0, i);
    return *this;
}

CString& CString::TrimLeft(char ch)
{
    const char set[2] = {ch, '\0'};
    return TrimLeft(set);
}

CString& CString::TrimLeft(LPCTSTR set)
{
    if (!set) return *this;
    size_t i = 0;
    while (i < m_str.size()) {
        size_t n = mbcs::CharLen(m_str, i);
        if (!SetHasChar(set, std::string_view(m_str).substr(i, n))) break;
        i += n;
    }
    m_str.erase(0, i);
    return *this;
}

CString& CString::TrimRight()
{
    size_t len = m_str.size();
    while (len > 0 && IsSpace(m_str[len - 1])) --len;
    m_str.resize(len);
    return *this;
}

CString& CString::TrimRight(char ch)
{
    const char set[2] = {ch, '\0'};
    return TrimRight(set);
}

CString& CString::TrimRight(LPCTSTR set)
{
    if (!set) return *this;
    // Walk from the start: only there are character boundaries certain, so a
    // trailing 0x5C that is the second byte of a double-byte character stays.
    size_t keep = 0;
    for (size_t i = 0; i < m_str.size();) {
        size_t n = mbcs::CharLen(m_str, i);
        if (!SetHasChar(set, std::string_view(m_str).substr(i, n))) keep = i + n;
        i += n;
    }
    m_str.resize(keep);
    return *this;
}

int CString::Replace(char oldCh, char newCh)
{
    int count = 0;
    for (size_t i = 0; i < m_str.size();) {
        size_t n = mbcs::CharLen(m_str, i);
        if (n == 1 && m_str[i] == oldCh) {
            m_str[i] = newCh;
            ++count;
        }
        i += n;
    }
    return count;
}

int CString::Replace(LPCTSTR oldText, LPCTSTR newText)
{
    if (!oldText || !*oldText) return 0;
    std::string_view from = oldText;
    std::string to = newText ? newText : "";
    std::string out;
    int count = 0;
    for (size_t i = 0; i < m_str.size();) {
        if (m_str.compare(i, from.size(), from) == 0) {
            out += to;
            i += from.size();
            ++count;
        } else {
            size_t n = mbcs::CharLen(m_str, i);
            out.append(m_str, i, n);
            i += n;
        }
    }
    if (count) m_str.swap(out);
    return count;
}

int CString::Remove(char ch)
{
    std::string out;
    int count = 0;
    for (size_t i = 0; i < m_str.size();) {
        size_t n = mbcs::CharLen(m_str, i);
        if (n == 1 && m_str[i] == ch)
            ++count;
        else
            out.append(m_str, i, n);
        i += n;
    }
    m_str.swap(out);
    return count;
}

int CString::Insert(int index, char ch)
{
    const char text[2] = {ch, '\0'};
    return Insert(index, text);
}

int CString::Insert(int index, LPCTSTR text)
{
    if (index < 0) index = 0;
    if (index > GetLength()) index = GetLength();
    if (text) m_str.insert(static_cast<size_t>(index), std::string(text));
    return GetLength();
}

int CString::Delete(int index, int count)
{
    if (index < 0) index = 0;
    if (count > 0 && index < GetLength()) m_str.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
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

bool operator==(const CString& a, const CString& b) { return a.View() == b.View(); }
bool operator==(const CString& a, LPCTSTR b) { return a.Compare(b) == 0; }
bool operator==(LPCTSTR a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, LPCTSTR b) { return !(a == b); }
bool operator!=(LPCTSTR a, const CString& b) { return !(a == b); }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, LPCTSTR b) { return a.Compare(b) < 0; }
bool operator<(LPCTSTR a, const CString& b) { return b.Compare(a) > 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator>(const CString& a, LPCTSTR b) { return a.Compare(b) > 0; }
bool operator>(LPCTSTR a, const CString& b) { return b.Compare(a) < 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
