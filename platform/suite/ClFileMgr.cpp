#include "suite/ClFileMgr.h"

#include <cstring>

#include "win32/Mbcs.h"
#include "win32/PlatformConfig.h"

ClFileMgr* ClFileMgr::Inst()
{
    static ClFileMgr mgr;
    return &mgr;
}

std::string ClFileMgr::FolderText(const std::string& cp932)
{
    if (cp932.empty()) return {};
    std::string text = cp932;
    size_t last = text.size() - 1;
    if (text[last] != '\\' || mbcs::IsTrailAt(text, last)) text += '\\';
    if (text.size() > MAX_PATH - 1) return {};
    return text;
}

LPCSTR ClFileMgr::GetAppFolderPath(int nType)
{
    // Configured as host text (UTF-8) in ZELKOR_OUTPUT_FOLDER / ZELKOR_SETTINGS_FOLDER.
    std::string folder;
    if (nType == FOLDER_OUTPUT) {
        folder = mbcs::Utf8ToCp932(PlatformConfig::Lookup("OUTPUT_FOLDER", "C:\\Zelkor\\Output\\"));
    } else if (nType == FOLDER_SETTINGS) {
        folder = mbcs::Utf8ToCp932(PlatformConfig::Lookup("SETTINGS_FOLDER", "C:\\Zelkor\\Settings\\"));
    }
    std::string text = FolderText(folder);
    std::memcpy(m_szPath, text.c_str(), text.size() + 1);
    return m_szPath;
}
