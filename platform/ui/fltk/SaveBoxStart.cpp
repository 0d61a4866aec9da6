#include "ui/fltk/SaveBoxStart.h"

#include "win32/DriveMap.h"
#include "win32/Mbcs.h"

#include <sys/stat.h>

namespace ui {

namespace {

bool IsHostDir(const std::string& path)
{
    struct stat st{};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithSeparator(std::string path)
{
    size_t last = mbcs::FindLastChar(path, '\\');
    if (last == std::string::npos || last + 1 != path.size()) path += '\\';
    return path;
}

// The nearest existing folder of the full Windows path `folder` (itself
// included), up to its root; empty when not even the root exists.
std::string NearestExisting(std::string folder)
{
    const DriveMap::Root root = DriveMap::ParseRoot(folder);
    if (root.kind != DriveMap::Root::Drive && root.kind != DriveMap::Root::Share) return {};
    const std::string rootDir = WithSeparator(folder.substr(0, root.rootEnd));
    folder = WithSeparator(folder);
    while (true) {
        if (IsHostDir(DriveMap::ToHostPath(folder))) return folder;
        if (folder.size() <= rootDir.size()) return {};
        // Up one level: cut the trailing separator, then the last component.
        std::string shorter = folder.substr(0, folder.size() - 1);
        size_t cut = mbcs::FindLastChar(shorter, '\\');
        folder = cut == std::string::npos || cut + 1 < rootDir.size() ? rootDir : shorter.substr(0, cut + 1);
    }
}

}  // namespace

SaveBoxStart SaveBoxStart::For(const std::string& initialDir, const std::string& fileName)
{
    SaveBoxStart start;
    start.name = fileName;
    std::string folder = initialDir;
    size_t slash = mbcs::FindLastChar(fileName, '\\');
    size_t colon = mbcs::FindLastChar(fileName, ':');
    size_t cut = 0;
    if (slash != std::string::npos) cut = slash + 1;
    if (colon != std::string::npos && colon + 1 > cut) cut = colon + 1;
    if (cut > 0) {
        folder = fileName.substr(0, cut);
        start.name = fileName.substr(cut);
    }
    // A path without a folder lies in the current directory.
    std::string full = DriveMap::FullPath(folder.empty() ? DriveMap::CurrentDirectory() : folder);
    start.windowsDir = NearestExisting(full);
    if (start.windowsDir.empty()) start.windowsDir = NearestExisting("C:\\");
    if (!start.windowsDir.empty()) start.hostDir = DriveMap::ToHostPath(start.windowsDir);
    return start;
}

}  // namespace ui
