#include "conditions/PathParts.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// Index of "\\\\" (two backslash characters) at or after `from`, stepping
// over double-byte characters; npos when none.
size_t FindDoubleBackslash(std::string_view s, size_t from)
{
    size_t i = mbcs::FindChar(s, '\\', from);
    while (i != std::string_view::npos) {
        if (i + 1 < s.size() && s[i + 1] == '\\')
            return i;
        i = mbcs::FindChar(s, '\\', i + 1);
    }
    return std::string_view::npos;
}

// The text up to and including the last `sep` (nothing without one), and
// the text after it (all of it without one).
CString UpToLast(const CString& strPath, char sep)
{
    const int n = strPath.ReverseFind(sep);
    return n < 0 ? CString() : strPath.Left(n + 1);
}

CString AfterLast(const CString& strPath, char sep)
{
    const int n = strPath.ReverseFind(sep);
    return n < 0 ? strPath : strPath.Mid(n + 1);
}

}  // namespace

int IsDoubleByteAt(LPCSTR pszText, int nIndex)
{
    if (!pszText || nIndex < 0)
        return 0;
    const std::string_view s(pszText);
    size_t i = 0;
    while (i < s.size()) {
        if (mbcs::CharLen(s, i) == 2) {
            if (static_cast<size_t>(nIndex) == i || static_cast<size_t>(nIndex) == i + 1)
                return 1;
            i += 2;
        } else {
            ++i;
        }
    }
    return 0;
}

int AddTrailingBackslash(LPSTR pszPath, int nSize)
{
    if (!pszPath || !*pszPath)
        return 0;
    const int nLen = static_cast<int>(std::strlen(pszPath));
    if (!IsDoubleByteAt(pszPath, nLen - 1) && pszPath[nLen - 1] == '\\')
        return 1;
    if (nLen >= nSize - 1)
        return 0;
    pszPath[nLen] = '\\';
    pszPath[nLen + 1] = '\0';
    return 1;
}

int GetDriveDir(LPSTR pszPath)
{
    if (!pszPath || !*pszPath)
        return 0;
    char szDrive[_MAX_DRIVE + 1] = {};
    char szDir[_MAX_DIR + 1] = {};
    _splitpath(pszPath, szDrive, szDir, nullptr, nullptr);

    const size_t nLen = std::strlen(pszPath);
    std::string join = std::string(szDrive) + szDir;
    if (join.empty())
        return 0;
    // The split cuts a folder part beyond its size; a cut part would name
    // another, shorter folder. It is whole when nothing behind it separates.
    const std::string_view rest = std::string_view(pszPath).substr(std::min(join.size(), nLen));
    if (std::string_view(pszPath).substr(0, join.size()) != join || mbcs::FindChar(rest, '\\') != rest.npos ||
        mbcs::FindChar(rest, '/') != rest.npos)
        return 0;
    // The part is never longer than the path, so it fits where the path was;
    // the room for a backslash is the length of the path given.
    std::string buffer = join;
    buffer.resize(nLen + 1);
    AddTrailingBackslash(buffer.data(), static_cast<int>(nLen) + 1);
    std::memcpy(pszPath, buffer.c_str(), std::strlen(buffer.c_str()) + 1);
    return 1;
}

int IsExistingFolder(LPCSTR pszPath)
{
    if (!pszPath || !*pszPath)
        return 0;
    std::string copy(pszPath);
    GetDriveDir(copy.data());  // leaves the copy whole when the part is empty
    return PathIsDirectoryA(copy.c_str());
}

int GetRootPath(LPCSTR pszPath, LPSTR pszOut, int nSize)
{
    if (!pszPath || !*pszPath || !pszOut || nSize <= 0)
        return 0;
    const size_t nLen = std::strlen(pszPath);
    if (nLen >= static_cast<size_t>(nSize))
        return 0;
    std::memcpy(pszOut, pszPath, nLen + 1);
    return PathStripToRootA(pszOut);
}

CString GetFolderPart(const CString& strPath) { return UpToLast(strPath, '\\'); }

CString GetFileNamePart(const CString& strPath) { return AfterLast(strPath, '\\'); }

CString GetDrivePart(const CString& strPath) { return UpToLast(strPath, ':'); }

CString GetAfterDrivePart(const CString& strPath) { return AfterLast(strPath, ':'); }

int HasValidPathChars(LPCSTR pszPath)
{
    const std::string_view path(pszPath ? pszPath : "");
    std::string_view rest;
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // Share path: its leading pair is allowed, no other. The search
        // starts at the fourth byte, so a pair at indexes 2 and 3 passes.
        if (FindDoubleBackslash(path, 3) != std::string_view::npos)
            return 0;
        rest = path.substr(2);
    } else {
        if (FindDoubleBackslash(path, 0) != std::string_view::npos)
            return 0;
        const size_t colon = mbcs::FindChar(path, ':');
        rest = colon == std::string_view::npos ? path : path.substr(colon + 1);
    }
    for (char ch : {'/', ':', ',', ';', '*', '?', '"', '>', '<', '|'}) {
        if (mbcs::FindChar(rest, ch) != std::string_view::npos)
            return 0;
    }
    return 1;
}
