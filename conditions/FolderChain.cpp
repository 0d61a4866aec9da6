#include "conditions/FolderChain.h"

#include "conditions/PathParts.h"

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A folder path cut to its drive-and-folder part with a trailing backslash,
// its root with a trailing backslash, and the text behind the root.
struct LevelPath {
    char szPath[kPathBufferSize] = {};
    char szRoot[kPathBufferSize] = {};
    const char* pszTail = nullptr;  // into szPath
};

bool SplitLevel(LPCSTR pszPath, LevelPath& level)
{
    if (!pszPath || std::strlen(pszPath) >= sizeof level.szPath)
        return false;
    std::strcpy(level.szPath, pszPath);
    if (!GetDriveDir(level.szPath) || !AddTrailingBackslash(level.szPath, kPathBufferSize))
        return false;
    level.pszTail = PathSkipRootA(level.szPath);
    if (!level.pszTail)
        return false;
    return GetRootPath(level.szPath, level.szRoot, kPathBufferSize) &&
           AddTrailingBackslash(level.szRoot, kPathBufferSize);
}

// Byte indexes of the backslash characters of the text, double-byte
// characters stepped over whole.
std::vector<size_t> Separators(std::string_view s)
{
    std::vector<size_t> at;
    for (size_t i = mbcs::FindChar(s, '\\'); i != std::string_view::npos; i = mbcs::FindChar(s, '\\', i + 1))
        at.push_back(i);
    return at;
}

// The root followed by the first n bytes of the tail and a backslash; false
// when that would not fit in a working buffer.
bool LevelText(const char* pszRoot, const char* pszTail, size_t n, std::string& out)
{
    out.assign(pszRoot);
    out.append(pszTail, n);
    out.push_back('\\');
    return out.size() < static_cast<size_t>(kPathBufferSize);
}

}  // namespace

int CreateFolderChain(LPCSTR pszFolder)
{
    LevelPath path;
    if (!SplitLevel(pszFolder, path))
        return 0;

    std::string kept = path.szRoot;  // the deepest level that existed before
    std::string level;
    for (size_t i : Separators(path.pszTail)) {
        if (!LevelText(path.szRoot, path.pszTail, i, level))
            return 0;
        if (IsExistingFolder(level.c_str())) {
            kept = level;
            continue;
        }
        if (!CreateDirectoryA(level.c_str(), nullptr)) {
            // Another process may have made the level since the look above
            // (two first runs at one moment): it exists, and it is not ours.
            if (IsExistingFolder(level.c_str())) {
                kept = level;
                continue;
            }
            RemoveCreatedFolders(level.c_str(), kept.c_str());
            return 0;
        }
    }
    return 1;
}

int RemoveCreatedFolders(LPCSTR pszFailedLevel, LPCSTR pszKeptLevel)
{
    LevelPath failed;
    LevelPath kept;
    if (!SplitLevel(pszFailedLevel, failed) || !SplitLevel(pszKeptLevel, kept))
        return 0;
    if (_stricmp(failed.szRoot, kept.szRoot) != 0 ||
        _strnicmp(failed.pszTail, kept.pszTail, std::strlen(kept.pszTail)) != 0)
        return 0;

    const std::vector<size_t> at = Separators(failed.pszTail);
    std::string level;
    for (auto it = at.rbegin(); it != at.rend(); ++it) {
        const size_t n = *it;
        if (n < 1)
            break;
        // The level that could not be created is nobody's here: when it
        // exists now, another process made it.
        if (n + 1 == std::strlen(failed.pszTail))
            continue;
        if (_strnicmp(failed.pszTail, kept.pszTail, n) == 0)
            return 1;  // reached the kept level
        if (!LevelText(failed.szRoot, failed.pszTail, n, level))
            return 0;
        if (IsExistingFolder(level.c_str()) && !RemoveDirectoryA(level.c_str()))
            return 0;
    }
    return 1;
}
