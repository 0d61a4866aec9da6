#include "conditions/OutputLocation.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

// Whether two backslash characters follow each other anywhere, stepping over
// double-byte characters (a trail byte 0x5C is no backslash).
bool HasDoubleBackslash(std::string_view s)
{
    for (size_t i = mbcs::FindChar(s, '\\'); i != std::string_view::npos; i = mbcs::FindChar(s, '\\', i + 1)) {
        if (i + 1 < s.size() && s[i + 1] == '\\')
            return true;
    }
    return false;
}

}  // namespace

int IsValidOutputLocation(LPCSTR pszPath)
{
    if (!pszPath)
        return 0;
    const std::string_view path(pszPath);
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // \\server\share: the first backslash from the fourth byte on ends
        // the server name, the next one the share name. Without the latter
        // there is no share root to test.
        std::string root;
        const size_t endServer = mbcs::FindChar(path, '\\', 3);
        if (endServer != std::string_view::npos) {
            const size_t endShare = mbcs::FindChar(path, '\\', endServer + 1);
            if (endShare != std::string_view::npos)
                root.assign(path.substr(0, endShare));
        }
        return _access(root.c_str(), 6) == 0 ? 1 : 0;
    }
    if (HasDoubleBackslash(path))
        return 0;
    // The first byte is the drive letter whether a colon follows or not; as
    // a signed character a byte of 0x80 or more is no letter.
    return IsUsableDrive(static_cast<signed char>(path.empty() ? '\0' : path[0]), 6);
}

int IsUsableDrive(int nLetter, int nMode)
{
    const int nIndex = (nLetter >= 'A' && nLetter <= 'Z') ? nLetter - 'A' : nLetter - 'a';
    if (nIndex < 0 || nIndex > 25)
        return 0;
    char szRoot[8];
    std::snprintf(szRoot, sizeof szRoot, "%c:\\", 'A' + nIndex);

    switch (LOWORD(GetDriveTypeA(szRoot))) {
    case DRIVE_UNKNOWN:
    case DRIVE_CDROM:
    case DRIVE_RAMDISK:
        return 0;
    case DRIVE_NO_ROOT_DIR:
        // Accepted here; a path on it fails when its folder is tested or
        // created, or when the file is opened.
        return 1;
    case DRIVE_REMOVABLE:
    case DRIVE_FIXED:
    case DRIVE_REMOTE:
        return _access(szRoot, nMode) == 0 ? 1 : 0;
    default:
        return 1;
    }
}
