#include "conditions/JokenSettingsFile.h"

#include "conditions/FolderChain.h"
#include "conditions/PathParts.h"

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace {

bool HasLineBreak(const char* text)
{
    return std::strpbrk(text, "\r\n") != nullptr;
}

// True when the path names the file that the handle has open (the same file
// of the same volume), false also when the path cannot be opened.
bool NamesFile(LPCSTR pszPath, HANDLE hFile)
{
    HANDLE h = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION a = {};
    BY_HANDLE_FILE_INFORMATION b = {};
    const bool same = GetFileInformationByHandle(h, &a) && GetFileInformationByHandle(hFile, &b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
                      a.nFileIndexLow == b.nFileIndexLow;
    CloseHandle(h);
    return same;
}

// The writers' turn: the settings file opened for reading and writing
// (created empty when missing) and held under an exclusive lock that is asked
// for again until the wait is over. A lock taken on a file that another
// writer has meanwhile replaced is no turn: the file is opened anew. Where
// the file system keeps no locks, the open file is the turn. Released (and
// the file closed) when it goes.
class WriterTurn {
public:
    WriterTurn(const CString& path, DWORD dwWaitMs)
    {
        const DWORD dwStart = GetTickCount();
        for (;;) {
            HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h == INVALID_HANDLE_VALUE) return;
            m_bCreated = GetLastError() != ERROR_ALREADY_EXISTS;
            OVERLAPPED ov = {};
            if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &ov)) {
                if (NamesFile(path, h)) {
                    m_hFile = h;
                    return;
                }
                CloseHandle(h);  // the lock of a file that is gone
                if (GetTickCount() - dwStart >= dwWaitMs) return;
                continue;
            }
            const DWORD err = GetLastError();
            if (err == ERROR_NOT_SUPPORTED) {
                m_hFile = h;
                return;
            }
            CloseHandle(h);
            if (err != ERROR_LOCK_VIOLATION || GetTickCount() - dwStart >= dwWaitMs) return;
            Sleep(kPollMs);
        }
    }
    ~WriterTurn()
    {
        // Closing the handle releases its lock.
        if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
    }
    WriterTurn(const WriterTurn&) = delete;
    WriterTurn& operator=(const WriterTurn&) = delete;

    bool Held() const { return m_hFile != INVALID_HANDLE_VALUE; }
    HANDLE File() const { return m_hFile; }

    // After a failed write: a file that this turn created and that is still
    // empty goes again, so that a failure leaves no file where there was none.
    void RemoveIfCreatedEmpty(const CString& path) const
    {
        DWORD high = 0;
        if (m_bCreated && GetFileSize(m_hFile, &high) == 0 && high == 0 && NamesFile(path, m_hFile))
            DeleteFileA(path);
    }

private:
    static constexpr DWORD kPollMs = 10;
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    bool m_bCreated = false;
};

// Writes all of `bytes` at a byte offset of the file (WriteFile writes
// everything or fails); false on any shortfall. The bytes are a settings
// file of at most kMaxFileSize bytes, well within one call.
bool WriteAt(HANDLE h, size_t offset, const std::string& bytes)
{
    DWORD written = 0;
    return SetFilePointer(h, static_cast<LONG>(offset), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// The whole file of a handle, positioned at its start; false when it is
// larger than the bound or cannot be read.
bool ReadWhole(HANDLE h, std::string& text, unsigned maxSize)
{
    DWORD high = 0;
    const DWORD low = GetFileSize(h, &high);
    if ((low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) || high != 0 || low > maxSize) return false;
    // One byte more than the size tells a file that grew meanwhile.
    text.assign(static_cast<size_t>(low) + 1, '\0');
    DWORD got = 0;
    const bool ok = ReadFile(h, text.data(), low + 1, &got, nullptr) && got <= low;
    text.resize(ok ? got : 0);
    return ok;
}

// Appends the line to the file that holds `text`, hidden behind a NUL in
// place of its first byte until it is whole; a file whose last line has no
// line feed gets one first. On failure the file is cut back to `text`.
bool AppendLine(HANDLE h, const std::string& text, const std::string& line)
{
    std::string tail;
    if (!text.empty() && text.back() != '\n') tail += '\n';
    const size_t lineAt = text.size() + tail.size();
    tail += line;
    tail[lineAt - text.size()] = '\0';
    if (WriteAt(h, text.size(), tail) && WriteAt(h, lineAt, line.substr(0, 1)) && FlushFileBuffers(h)) return true;
    if (SetFilePointer(h, static_cast<LONG>(text.size()), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER)
        SetEndOfFile(h);
    return false;
}

// Blanks the bytes [from, to) of a line in place: no key matches it from the
// first write on, and none of the writes can leave the start of a new line.
bool BlankLine(HANDLE h, size_t from, size_t to)
{
    if (!WriteAt(h, from, std::string(1, '\0'))) return false;
    if (to - from > 1 && !WriteAt(h, from + 1, std::string(to - from - 1, ' '))) return false;
    return WriteAt(h, from, " ");
}

// A line that a rewrite in place blanked: spaces only, up to its line feed.
bool IsBlankedLine(const std::string& text, size_t from, size_t to)
{
    return to > from && text.find_first_not_of(' ', from) >= to;
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

bool JokenSettingsFile::LoadFile(std::string& text) const
{
    HANDLE h = CreateFileA(m_strFilePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = ReadWhole(h, text, kMaxFileSize);
    CloseHandle(h);
    return ok;
}

BOOL JokenSettingsFile::Read(LPCSTR pszKey, Conditions& out) const
{
    if (pszKey == nullptr || *pszKey == '\0' || HasLineBreak(pszKey)) return FALSE;
    if (m_strFolder.IsEmpty()) return FALSE;

    std::string text;
    if (!LoadFile(text)) return FALSE;

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
    char szNew[MAX_PATH + 1] = {};
    if (GetTempFileNameA(m_strFolder, kNewContentPrefix, 0, szNew) == 0) return false;
    // The name was made new and empty by this call; a link put there since
    // is not followed.
    HANDLE h = CreateFileA(szNew, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool written = false;
    if (h != INVALID_HANDLE_VALUE) {
        written = WriteAt(h, 0, text) && FlushFileBuffers(h);
        written = CloseHandle(h) != FALSE && written;
    }
    // One step: a reader finds the old file or the new one, never none.
    if (written && ReplaceFileA(m_strFilePath, szNew, nullptr, 0, nullptr, nullptr)) return true;
    DeleteFileA(szNew);
    return false;
}

BOOL JokenSettingsFile::Write(LPCSTR pszKey, const Conditions& values, LPCSTR pszExport) const
{
    const std::string line = FormatLine(pszKey, values);
    if (line.empty()) return FALSE;
    if (m_strFolder.IsEmpty()) return FALSE;
    if (!EnsureFolder()) return FALSE;

    const WriterTurn turn(m_strFilePath, m_dwLockWaitMs);
    if (!turn.Held()) return FALSE;
    if (WriteInTurn(turn.File(), pszKey, line, pszExport)) return TRUE;
    turn.RemoveIfCreatedEmpty(m_strFilePath);
    return FALSE;
}

bool JokenSettingsFile::WriteInTurn(HANDLE hFile, LPCSTR pszKey, const std::string& line, LPCSTR pszExport) const
{
    // The export that the run has just completed stays as it was written.
    if (pszExport != nullptr && *pszExport != '\0' && NamesFile(pszExport, hFile)) return false;

    std::string text;
    if (!ReadWhole(hFile, text, kMaxFileSize)) return false;

    // The key's lines go, and so do the lines blanked by earlier rewrites in
    // place; the others keep their bytes and order.
    const std::string key(pszKey);
    std::vector<std::pair<size_t, size_t>> keyLines;
    std::string kept;
    kept.reserve(text.size() + line.size() + 1);
    for (size_t at = 0; at < text.size();) {
        const size_t lf = text.find('\n', at);
        const size_t end = lf == std::string::npos ? text.size() : lf;
        const size_t next = lf == std::string::npos ? text.size() : lf + 1;
        if (text.compare(at, key.size(), key) == 0)
            keyLines.emplace_back(at, end);
        else if (!IsBlankedLine(text, at, end))
            kept.append(text, at, next - at);
        at = next;
    }
    const bool appendFits = text.size() + line.size() + 1 <= kMaxFileSize;
    if (keyLines.empty()) return appendFits && AppendLine(hFile, text, line);

    if (!kept.empty() && kept.back() != '\n') kept += '\n';
    kept += line;
    if (kept.size() <= kMaxFileSize && ReplaceWith(kept)) return true;

    // In place: the new line first, then the old ones blanked.
    if (!appendFits || !AppendLine(hFile, text, line)) return false;
    for (const auto& [from, to] : keyLines)
        if (!BlankLine(hFile, from, to)) return false;
    return FlushFileBuffers(hFile) != FALSE;
}
