#include "conditions/JokenSettingsFile.h"

#include "conditions/FolderChain.h"
#include "conditions/PathParts.h"

#include <cstdio>
#include <cstring>

namespace {

bool HasLineBreak(const char* text)
{
    return std::strpbrk(text, "\r\n") != nullptr;
}

// The writers' turn: an exclusive lock of the lock file, asked for again
// until the wait is over. Released (and the file closed) when it goes.
class WriterTurn {
public:
    WriterTurn(const CString& lockPath, DWORD dwWaitMs)
    {
        m_hLock = CreateFileA(lockPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_hLock == INVALID_HANDLE_VALUE) return;
        const DWORD dwStart = GetTickCount();
        for (;;) {
            OVERLAPPED ov = {};
            if (LockFileEx(m_hLock, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &ov)) {
                m_bHeld = true;
                return;
            }
            if (GetLastError() != ERROR_LOCK_VIOLATION || GetTickCount() - dwStart >= dwWaitMs) return;
            Sleep(kPollMs);
        }
    }
    ~WriterTurn()
    {
        if (m_hLock == INVALID_HANDLE_VALUE) return;
        if (m_bHeld) {
            OVERLAPPED ov = {};
            UnlockFileEx(m_hLock, 0, 1, 0, &ov);
        }
        CloseHandle(m_hLock);
    }
    WriterTurn(const WriterTurn&) = delete;
    WriterTurn& operator=(const WriterTurn&) = delete;

    bool Held() const { return m_bHeld; }

private:
    static constexpr DWORD kPollMs = 10;
    HANDLE m_hLock = INVALID_HANDLE_VALUE;
    bool m_bHeld = false;
};

// Writes all of `text` to a handle (WriteFile writes everything or fails);
// false on any shortfall. The text is a settings file of at most
// kMaxFileSize bytes and one line, well within one call.
bool WriteAll(HANDLE h, const std::string& text)
{
    DWORD written = 0;
    return WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
}

}  // namespace

JokenSettingsFile::JokenSettingsFile(LPCSTR pszFolder, LPCSTR pszFileName, DWORD dwLockWaitMs)
    : m_strFolder(pszFolder), m_strFilePath(CString(pszFolder) + pszFileName), m_dwLockWaitMs(dwLockWaitMs)
{
}

CString JokenSettingsFile::MakeKey(LPCSTR pszUserID, LPCSTR pszDataID, bool bWithSelectedNo, long lSelectedNo)
{
    CString key;
    if (bWithSelectedNo)
        key.Format("%s/%d/%s:", pszUserID ? pszUserID : "", static_cast<int>(lSelectedNo),
                   pszDataID ? pszDataID : "");
    else
        key.Format("%s/%s:", pszUserID ? pszUserID : "", pszDataID ? pszDataID : "");
    return key;
}

std::string JokenSettingsFile::FormatLine(LPCSTR pszKey, const Conditions& values)
{
    const char* path = values.szPath;
    // The path buffer need not hold a terminator: its length is taken first.
    if (::strnlen(path, kMaxPathBytes + 1) > static_cast<size_t>(kMaxPathBytes)) return {};
    if (pszKey == nullptr || *pszKey == '\0' || HasLineBreak(pszKey) || HasLineBreak(path)) return {};

    char numbers[80];
    std::snprintf(numbers, sizeof numbers, "%ld/%d/%d/%d/%d/%d/", static_cast<long>(values.nMode),
                  static_cast<int>(values.nStartMonth), static_cast<int>(values.nEndMonth),
                  static_cast<int>(values.byUriage), static_cast<int>(values.byShiire),
                  static_cast<int>(values.byNiwari));
    std::string line(pszKey);
    line += numbers;
    line += path;
    line += '\n';
    return line;
}

bool JokenSettingsFile::ParseValue(const std::string& valueIn, Conditions& out)
{
    std::string value = valueIn;
    // A line saved by an editor that ends lines with CR LF.
    if (!value.empty() && value.back() == '\r') value.pop_back();

    // Six numeric fields, each ended by a slash and none empty.
    int numbers[6];
    size_t pos = 0;
    for (int& number : numbers) {
        const size_t slash = value.find('/', pos);
        if (slash == std::string::npos || slash == pos) return false;
        // The field ends at its slash, where the conversion stops at the latest.
        number = CrtAtoi(value.c_str() + pos);
        pos = slash + 1;
    }
    const std::string path = value.substr(pos);
    if (path.size() > static_cast<size_t>(kMaxPathBytes) || path.find('\0') != std::string::npos) return false;

    out.nMode = numbers[0];
    out.nStartMonth = static_cast<short>(numbers[1]);
    out.nEndMonth = static_cast<short>(numbers[2]);
    out.byUriage = static_cast<BYTE>(numbers[3]);
    out.byShiire = static_cast<BYTE>(numbers[4]);
    out.byNiwari = static_cast<BYTE>(numbers[5]);
    std::memset(out.szPath, 0, sizeof out.szPath);
    std::memcpy(out.szPath, path.data(), path.size());
    return true;
}

size_t JokenSettingsFile::FindLine(const std::string& text, const std::string& key, size_t from)
{
    size_t start = from;
    while (start < text.size()) {
        if (text.compare(start, key.size(), key) == 0) return start;
        size_t lf = text.find('\n', start);
        if (lf == std::string::npos) break;
        start = lf + 1;
    }
    return std::string::npos;
}

bool JokenSettingsFile::LoadFile(std::string& text, bool& bMissing) const
{
    bMissing = false;
    HANDLE h = CreateFileA(m_strFilePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        bMissing = err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
        return false;
    }
    DWORD high = 0;
    const DWORD low = GetFileSize(h, &high);
    bool ok = !(low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) && high == 0 && low <= kMaxFileSize;
    if (ok) {
        // One byte more than the size tells a file that grew meanwhile.
        text.assign(static_cast<size_t>(low) + 1, '\0');
        DWORD got = 0;
        ok = ReadFile(h, text.data(), low + 1, &got, nullptr) && got <= low;
        text.resize(ok ? got : 0);
    }
    CloseHandle(h);
    return ok;
}

BOOL JokenSettingsFile::Read(LPCSTR pszKey, Conditions& out) const
{
    if (pszKey == nullptr || *pszKey == '\0' || HasLineBreak(pszKey)) return FALSE;
    if (m_strFolder.IsEmpty()) return FALSE;

    std::string text;
    bool missing = false;
    if (!LoadFile(text, missing)) return FALSE;

    const std::string key(pszKey);
    size_t at = FindLine(text, key);
    if (at == std::string::npos) return FALSE;
    size_t valueStart = at + key.size();
    size_t lf = text.find('\n', valueStart);
    std::string value = text.substr(valueStart, lf == std::string::npos ? std::string::npos : lf - valueStart);

    Conditions parsed;
    if (!ParseValue(value, parsed)) return FALSE;
    out = parsed;
    return TRUE;
}

bool JokenSettingsFile::EnsureFolder() const
{
    char folder[kPathBufferSize] = {};
    if (m_strFolder.GetLength() >= kPathBufferSize) return false;
    std::strcpy(folder, m_strFolder);
    if (!GetDriveDir(folder)) return false;
    if (PathIsDirectoryA(folder)) return true;
    return CreateFolderChain(m_strFolder) != 0;
}

bool JokenSettingsFile::ReplaceWith(const std::string& text) const
{
    const CString newPath = m_strFilePath + kNewSuffix;
    // Whatever is left at the name goes as an entry; a link is not followed.
    DeleteFileA(newPath);
    HANDLE h = CreateFileA(newPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool written = WriteAll(h, text) && FlushFileBuffers(h);
    const bool closed = CloseHandle(h) != FALSE;
    // One step: a reader finds the old file or the new one, never none.
    if (written && closed && MoveFileExA(newPath, m_strFilePath, MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileA(newPath);
    return false;
}

BOOL JokenSettingsFile::Write(LPCSTR pszKey, const Conditions& values) const
{
    const std::string line = FormatLine(pszKey, values);
    if (line.empty()) return FALSE;
    if (m_strFolder.IsEmpty()) return FALSE;
    if (!EnsureFolder()) return FALSE;

    const WriterTurn turn(m_strFilePath + kLockSuffix, m_dwLockWaitMs);
    if (!turn.Held()) return FALSE;

    std::string text;
    bool missing = false;
    if (!LoadFile(text, missing) && !missing) return FALSE;

    // Every line of the key goes; the others keep their bytes and order.
    const std::string key(pszKey);
    std::string kept;
    kept.reserve(text.size() + line.size() + 1);
    size_t pos = 0;
    for (size_t at = FindLine(text, key); at != std::string::npos; at = FindLine(text, key, pos)) {
        kept.append(text, pos, at - pos);
        size_t lf = text.find('\n', at);
        pos = lf == std::string::npos ? text.size() : lf + 1;
    }
    kept.append(text, pos, std::string::npos);
    if (!kept.empty() && kept.back() != '\n') kept += '\n';
    kept += line;
    if (kept.size() > kMaxFileSize) return FALSE;
    return ReplaceWith(kept) ? TRUE : FALSE;
}
