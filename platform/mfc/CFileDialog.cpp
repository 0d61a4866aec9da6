#include "mfc/CFileDialog.h"

#include "ui/Backends.h"
#include "win32/Kernel.h"
#include "win32/Mbcs.h"

#include <cstring>

namespace {

// How often the box may stay open after a refused choice before it gives up
// (a backend that keeps offering the same refused path must not loop).
constexpr int MaxAttempts = 100;

size_t FileNameStart(const std::string& path)
{
    size_t slash = mbcs::FindLastChar(path, '\\');
    size_t colon = mbcs::FindLastChar(path, ':');
    size_t cut = std::string::npos;
    if (slash != std::string::npos) cut = slash;
    if (colon != std::string::npos && (cut == std::string::npos || colon > cut)) cut = colon;
    return cut == std::string::npos ? 0 : cut + 1;
}

bool IsAbsolute(const std::string& path)
{
    return (path.size() >= 2 && path[1] == ':') || (path.size() >= 1 && path[0] == '\\');
}

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : m_ofn{}, m_bOpenFileDialog(bOpenFileDialog)
{
    m_pParentWnd = pParentWnd;
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof m_szFileName;
    m_ofn.Flags = dwFlags;
    if (lpszDefExt) {
        m_defExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_defExt.c_str();
    }
    if (lpszFileName) {
        std::string name = lpszFileName;
        std::memcpy(m_szFileName, name.data(), std::min(name.size(), sizeof m_szFileName - 1));
    }
    if (lpszFilter) {
        m_filter = lpszFilter;
        for (size_t i = 0; i < m_filter.size(); i += mbcs::CharLen(m_filter, i))
            if (m_filter[i] == '|' && mbcs::CharLen(m_filter, i) == 1) m_filter[i] = '\0';
        m_filter.push_back('\0');
        m_filter.push_back('\0');
        m_ofn.lpstrFilter = m_filter.data();
    }
}

INT_PTR CFileDialog::DoModal()
{
    ui::SaveBoxRequest request;
    request.owner = m_ofn.hwndOwner ? m_ofn.hwndOwner
                    : m_pParentWnd  ? m_pParentWnd->m_hWnd
                                    : win::WindowRegistry::ActiveModal();
    request.title = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : "";
    request.initialDir = m_ofn.lpstrInitialDir ? m_ofn.lpstrInitialDir : "";
    request.fileName = m_ofn.lpstrFile ? m_ofn.lpstrFile : "";
    request.defaultExt = m_ofn.lpstrDefExt ? m_ofn.lpstrDefExt : "";
    request.flags = m_ofn.Flags;
    request.forOpening = m_bOpenFileDialog != FALSE;
    for (const char* p = m_ofn.lpstrFilter; p && *p;) {
        std::string name = p;
        p += name.size() + 1;
        std::string pattern = p;
        p += pattern.size() + 1;
        request.filters.emplace_back(name, pattern);
        if (pattern.empty()) break;
    }
    const char* boxTitle = !request.title.empty() ? request.title.c_str()
                           : m_bOpenFileDialog    ? "ファイルを開く"
                                                  : "名前を付けて保存";

    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        std::string path;
        if (!ui::Backends::Current().SaveBox(request, path)) return IDCANCEL;
        if (!IsAbsolute(path) && !request.initialDir.empty()) {
            std::string dir = request.initialDir;
            size_t last = mbcs::FindLastChar(dir, '\\');
            if (last == std::string::npos || last + 1 != dir.size()) dir += '\\';
            path = dir + path;
        }
        size_t nameAt = FileNameStart(path);
        std::string name = path.substr(nameAt);
        if (name.empty()) continue;
        if (name.find_first_of("*?") != std::string::npos) {
            request.fileName = name;
            continue;
        }
        if (!m_defExt.empty() && mbcs::FindChar(name, '.') == std::string::npos) path += "." + m_defExt;
        std::string folder = path.substr(0, nameAt);
        if ((m_ofn.Flags & OFN_PATHMUSTEXIST) && !folder.empty() && !PathIsDirectoryA(folder.c_str())) {
            ::MessageBoxA(request.owner,
                          (path + "\nパスが存在しません。\nパスが正しいかどうかを確認してください。").c_str(),
                          boxTitle, MB_OK | MB_ICONEXCLAMATION);
            continue;
        }
        bool exists = _access(path.c_str(), 0) == 0;
        if (m_bOpenFileDialog && (m_ofn.Flags & OFN_FILEMUSTEXIST) && !exists) {
            ::MessageBoxA(request.owner,
                          (path + "\nファイルが見つかりません。\nファイル名を確認して再実行してください。").c_str(),
                          boxTitle, MB_OK | MB_ICONEXCLAMATION);
            continue;
        }
        if (!m_bOpenFileDialog && (m_ofn.Flags & OFN_OVERWRITEPROMPT) && exists &&
            ::MessageBoxA(request.owner, (path + " は既に存在します。\n上書きしますか?").c_str(), boxTitle,
                          MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
            continue;
        if (!m_ofn.lpstrFile || path.size() + 1 > m_ofn.nMaxFile) return IDCANCEL;
        std::memcpy(m_ofn.lpstrFile, path.c_str(), path.size() + 1);
        size_t offset = FileNameStart(path);
        size_t dot = mbcs::FindLastChar(path.substr(offset), '.');
        m_ofn.nFileOffset = static_cast<WORD>(offset);
        m_ofn.nFileExtension = static_cast<WORD>(dot == std::string::npos ? 0 : offset + dot + 1);
        return IDOK;
    }
    return IDCANCEL;
}

CString CFileDialog::GetPathName() const { return CString(m_ofn.lpstrFile ? m_ofn.lpstrFile : ""); }
