#include "conditions/JokenSettingsFile.h"

#include "conditions/FolderChain.h"
#include "conditions/PathParts.h"

#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_map>
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
// the file closed) when it goes. Without a turn, `why` tells whether the file
// could not be opened or its turn did not come within the wait.
class WriterTurn {
public:
    WriterTurn(const CString& path, DWORD dwWaitMs, JokenSettingsFile::Failure& why)
    {
        const DWORD dwStart = GetTickCount();
        for (;;) {
            HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h == INVALID_HANDLE_VALUE) {
                why = JokenSettingsFile::Failure::NotOpened;
                return;
            }
            m_bCreated = GetLastError() != ERROR_ALREADY_EXISTS;
            OVERLAPPED ov = {};
            if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &ov)) {
                if (NamesFile(path, h)) {
                    m_hFile = h;
                    m_bLocked = true;
                    return;
                }
                CloseHandle(h);  // the lock of a file that is gone
                why = JokenSettingsFile::Failure::NoTurn;
                if (GetTickCount() - dwStart >= dwWaitMs) return;
                continue;
            }
            const DWORD err = GetLastError();
            if (err == ERROR_NOT_SUPPORTED) {
                m_hFile = h;
                return;
            }
            CloseHandle(h);
            if (err == ERROR_LOCK_VIOLATION) why = JokenSettingsFile::Failure::NoTurn;
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
    // Whether the others wait for this turn (false where the file system
    // keeps no locks).
    bool Locked() const { return m_bLocked; }
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
    bool m_bLocked = false;
};

// Writes all of `bytes` at a byte offset of the file (WriteFile writes
// everything or fails); false on any shortfall. The bytes are a settings
// file of at most kMaxFileSize bytes, well within one call.
bool WriteAt(HANDLE h, size_t offset, std::string_view bytes)
{
    DWORD written = 0;
    return SetFilePointer(h, static_cast<LONG>(offset), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// The size of an open file, false when it cannot be told or is 4 GiB or more.
bool SizeOf(HANDLE h, DWORD& size)
{
    DWORD high = 0;
    size = GetFileSize(h, &high);
    return !(size == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) && high == 0;
}

// The whole file of a handle, positioned at its start; false when it is
// larger than the bound or cannot be read.
bool ReadWhole(HANDLE h, std::string& text, unsigned maxSize)
{
    DWORD low = 0;
    if (!SizeOf(h, low) || low > maxSize) return false;
    // One byte more than the size tells a file that grew meanwhile.
    text.assign(static_cast<size_t>(low) + 1, '\0');
    DWORD got = 0;
    const bool ok = ReadFile(h, text.data(), low + 1, &got, nullptr) && got <= low;
    text.resize(ok ? got : 0);
    return ok;
}

// A reader waits (at most `waitMs`) for a writer's turn to end by a lock
// that writers share with no one and readers with each other, so that it
// reads the file between two turns. Where the file system keeps no locks, or
// the turn does not end within the wait, it reads the file as it is: every
// state a writer leaves it in is whole. The lock goes with the handle.
void WaitForWriters(HANDLE h, DWORD waitMs)
{
    const DWORD dwStart = GetTickCount();
    for (;;) {
        OVERLAPPED ov = {};
        if (LockFileEx(h, LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &ov)) return;
        if (GetLastError() != ERROR_LOCK_VIOLATION || GetTickCount() - dwStart >= waitMs) return;
        Sleep(5);
    }
}

// A line that no key's line is and whose bytes a write may take again: one
// that a rewrite blanked (spaces only) or one hidden behind a NUL in place of
// its first byte (a write that did not end). [from, to) is the line without
// its line feed; an empty line is no such line.
bool IsFreeLine(const std::string& text, size_t from, size_t to)
{
    return to > from && (text[from] == '\0' || text.find_first_not_of(' ', from) >= to);
}

// The settings file changed in place during the writer's turn. Each change
// is one write or one cut of the file, ordered so that the file is whole
// after each of them (see the header for the reasons): a line is written
// only into bytes that no line of a key holds (a free line, or past the end),
// behind a NUL until it is whole; a line is blanked only once the key's new
// line is whole; the file is cut only at free lines, or at a last line of
// which a whole copy stands before it.
class InPlaceEdit {
public:
    using Failure = JokenSettingsFile::Failure;

    // `text` is the file as the turn read it. bMoveAny: other users' lines
    // may be moved too (the writers take turns); else only the key's own.
    InPlaceEdit(HANDLE h, std::string text, bool bMoveAny) : m_h(h), m_text(std::move(text)), m_bMoveAny(bMoveAny)
    {
        for (size_t at = 0; at < m_text.size();) {
            const size_t lf = m_text.find('\n', at);
            const size_t end = lf == std::string::npos ? m_text.size() : lf;
            const size_t next = lf == std::string::npos ? m_text.size() : lf + 1;
            const bool free = IsFreeLine(m_text, at, end);
            m_lines.push_back({at, next - at, free});
            if (!free) ++m_copies[m_text.substr(at, next - at)];
            at = next;
        }
    }

    // Puts the key's new line in place of its old ones, then gives back
    // the free space that the file can lose.
    Failure Put(const std::string& key, const std::string& line)
    {
        const std::vector<size_t> old = KeyLines(key, kNone);
        if (old.size() != 1 || Content(m_lines[old[0]]) != line) {
            size_t placed = FirstFit(line.size(), m_lines.size());
            if (placed == kNone && !AppendFits(line.size())) {
                // Room first: the free lines joined, the last lines moved
                // forward and the end cut off.
                if (!EndWithLineFeed()) return Failure::Full;
                if (!Tidy() || !Compact(key)) return Failure::NotWritten;
                placed = FirstFit(line.size(), m_lines.size());
                if (placed == kNone && !AppendFits(line.size())) return Failure::Full;
            }
            if (placed != kNone) {
                if (!PutInto(placed, line)) return Failure::NotWritten;
            } else {
                if (!Append(line)) return Failure::NotWritten;
                placed = m_lines.size() - 1;
            }
            if (!FlushFileBuffers(m_h)) return Failure::NotWritten;
            for (const size_t i : KeyLines(key, placed))
                if (!Blank(i)) return Failure::NotWritten;
        }
        if (!EndWithLineFeed() || !Tidy() || !Compact(key) || !FlushFileBuffers(m_h)) return Failure::NotWritten;
        return Failure::None;
    }

private:
    struct Line {
        size_t at;    // first byte
        size_t size;  // with the line feed (the last line may have none)
        bool free;
    };
    static constexpr size_t kNone = static_cast<size_t>(-1);

    std::string Content(const Line& l) const { return m_text.substr(l.at, l.size); }
    bool EndsWithLf(const Line& l) const { return m_text[l.at + l.size - 1] == '\n'; }
    bool AppendFits(size_t bytes) const
    {
        const bool open = !m_text.empty() && m_text.back() != '\n';
        return m_text.size() + (open ? 1 : 0) + bytes <= JokenSettingsFile::kMaxFileSize;
    }

    // The lines of the key other than `except`.
    std::vector<size_t> KeyLines(const std::string& key, size_t except) const
    {
        std::vector<size_t> found;
        for (size_t i = 0; i < m_lines.size(); ++i)
            if (i != except && !m_lines[i].free && m_text.compare(m_lines[i].at, key.size(), key) == 0)
                found.push_back(i);
        return found;
    }

    // The first free line before line `before` that holds a line of `size`
    // bytes exactly, or with room for a line of spaces after it: spaces only
    // (a line hidden behind a NUL is taken only once Tidy has blanked it),
    // ended by a line feed.
    size_t FirstFit(size_t size, size_t before) const
    {
        for (size_t i = 0; i < before && i < m_lines.size(); ++i) {
            const Line& l = m_lines[i];
            if (l.free && m_text[l.at] == ' ' && EndsWithLf(l) && (l.size == size || l.size >= size + 2)) return i;
        }
        return kNone;
    }

    bool Write(size_t at, std::string_view bytes)
    {
        if (!WriteAt(m_h, at, bytes)) return false;
        if (at + bytes.size() > m_text.size()) m_text.resize(at + bytes.size());
        m_text.replace(at, bytes.size(), bytes);
        return true;
    }
    bool Cut(size_t size)
    {
        if (SetFilePointer(m_h, static_cast<LONG>(size), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
            !SetEndOfFile(m_h))
            return false;
        m_text.resize(size);
        return true;
    }

    // The line written into free line i: behind a NUL first, then its first
    // byte. What the line leaves of the free one stays a line of spaces.
    bool PutInto(size_t i, const std::string& line)
    {
        const Line slot = m_lines[i];
        std::string hidden = line;
        hidden[0] = '\0';
        if (!Write(slot.at, hidden) || !Write(slot.at, std::string_view(line).substr(0, 1))) return false;
        m_lines[i] = {slot.at, line.size(), false};
        if (slot.size > line.size())
            m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                           Line{slot.at + line.size(), slot.size - line.size(), true});
        ++m_copies[line];
        return true;
    }

    // The line appended, hidden the same way; a last line without its line
    // feed gets one in the same write. A failure cuts the file back.
    bool Append(const std::string& line)
    {
        const size_t oldSize = m_text.size();
        const bool open = oldSize > 0 && m_text.back() != '\n';
        std::string tail = open ? "\n" : "";
        const size_t lineAt = oldSize + tail.size();
        tail += line;
        tail[lineAt - oldSize] = '\0';
        if (!Write(oldSize, tail) || !Write(lineAt, std::string_view(line).substr(0, 1))) {
            Cut(oldSize);
            return false;
        }
        if (open) {
            Line& last = m_lines.back();
            if (!last.free) --m_copies[Content(last)];
            ++last.size;
            if (!last.free) ++m_copies[Content(last)];
        }
        m_lines.push_back({lineAt, line.size(), false});
        ++m_copies[line];
        return true;
    }

    // Bytes [from, to) become spaces: the first one a NUL before the others
    // change, so that no moment shows a line a key could match, then a space.
    bool BlankRange(size_t from, size_t to)
    {
        if (!Write(from, std::string(1, '\0'))) return false;
        if (to - from > 1 && !Write(from + 1, std::string(to - from - 1, ' '))) return false;
        return Write(from, " ");
    }

    bool Blank(size_t i)
    {
        Line& l = m_lines[i];
        --m_copies[Content(l)];
        if (!BlankRange(l.at, l.at + l.size - (EndsWithLf(l) ? 1 : 0))) return false;
        l.free = true;
        return true;
    }

    // A last line without its line feed gets one (false when the file is at
    // its bound already).
    bool EndWithLineFeed()
    {
        if (m_text.empty() || m_text.back() == '\n') return true;
        if (m_text.size() + 1 > JokenSettingsFile::kMaxFileSize || !Write(m_text.size(), "\n")) return false;
        Line& last = m_lines.back();
        if (!last.free) --m_copies[Content(last)];
        ++last.size;
        if (!last.free) ++m_copies[Content(last)];
        return true;
    }

    // Each run of free lines becomes one line of spaces: lines hidden by a
    // write that did not end are taken back, neighbours joined. The run is
    // hidden behind a NUL while its line feeds turn into spaces.
    bool Tidy()
    {
        for (size_t i = 0; i < m_lines.size(); ++i) {
            if (!m_lines[i].free) continue;
            size_t j = i;
            while (j + 1 < m_lines.size() && m_lines[j + 1].free) ++j;
            const size_t from = m_lines[i].at;
            const size_t end = m_lines[j].at + m_lines[j].size;
            if (i == j && m_text[from] != '\0') continue;
            if (!BlankRange(from, end - 1)) return false;
            m_lines[i] = {from, end - from, true};
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                          m_lines.begin() + static_cast<std::ptrdiff_t>(j) + 1);
        }
        return true;
    }

    // The free lines at the end are cut off; then, while a free line before
    // it can hold the last line, that line is copied there and cut off at
    // its old place (a copy of a line before it is cut off at once).
    bool Compact(const std::string& key)
    {
        for (;;) {
            size_t keep = m_lines.size();
            while (keep > 0 && m_lines[keep - 1].free) --keep;
            if (keep < m_lines.size()) {
                if (!Cut(keep > 0 ? m_lines[keep - 1].at + m_lines[keep - 1].size : 0)) return false;
                m_lines.resize(keep);
            }
            if (m_lines.empty()) return true;
            const Line last = m_lines.back();
            const std::string bytes = Content(last);
            if (m_copies[bytes] < 2) {
                if (!m_bMoveAny && bytes.compare(0, key.size(), key) != 0) return true;
                const size_t slot = FirstFit(last.size, m_lines.size() - 1);
                if (slot == kNone) return true;
                if (!PutInto(slot, bytes) || !FlushFileBuffers(m_h)) return false;
            }
            --m_copies[bytes];
            if (!Cut(last.at)) return false;
            m_lines.pop_back();
        }
    }

    HANDLE m_h;
    std::string m_text;  // the file's bytes, changed with it
    std::vector<Line> m_lines;
    std::unordered_map<std::string, int> m_copies;  // how often each line (not a free one) stands in the file
    bool m_bMoveAny;
};

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
    WaitForWriters(h, m_dwLockWaitMs < kReadWaitMs ? m_dwLockWaitMs : kReadWaitMs);
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

JokenSettingsFile::Replaced JokenSettingsFile::ReplaceWith(const std::string& text) const
{
    char szNew[MAX_PATH + 1] = {};
    // A folder that takes no new file of this user: the file is rewritten
    // in place.
    if (GetTempFileNameA(m_strFolder, kNewContentPrefix, 0, szNew) == 0) return Replaced::NotPossible;
    // The name was made new, empty and private by this call; a link put
    // there since is not followed.
    HANDLE h = CreateFileA(szNew, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DeleteFileA(szNew);
        return Replaced::NotPossible;
    }
    bool written = WriteAt(h, 0, text) && FlushFileBuffers(h);
    written = CloseHandle(h) != FALSE && written;
    if (!written) {
        // The disk takes no more: an in-place write would meet the same.
        DeleteFileA(szNew);
        return Replaced::NotWritten;
    }
    // One step: a reader finds the old file or the new one, never none.
    if (ReplaceFileA(m_strFilePath, szNew, nullptr, 0, nullptr, nullptr)) return Replaced::Done;
    DeleteFileA(szNew);
    return Replaced::NotPossible;
}

BOOL JokenSettingsFile::Write(LPCSTR pszKey, const Conditions& values, LPCSTR pszExport, Failure* pWhy) const
{
    Failure why = Failure::None;
    const BOOL ok = WriteLine(pszKey, values, pszExport, why);
    if (pWhy != nullptr) *pWhy = why;
    return ok;
}

BOOL JokenSettingsFile::WriteLine(LPCSTR pszKey, const Conditions& values, LPCSTR pszExport, Failure& why) const
{
    const std::string line = FormatLine(pszKey, values);
    why = Failure::NotStorable;
    if (line.empty()) return FALSE;
    why = Failure::NoFolder;
    if (m_strFolder.IsEmpty()) return FALSE;
    if (!EnsureFolder()) return FALSE;

    why = Failure::NotOpened;
    const WriterTurn turn(m_strFilePath, m_dwLockWaitMs, why);
    if (!turn.Held()) return FALSE;
    why = WriteInTurn(turn.File(), turn.Locked(), pszKey, line, pszExport);
    if (why == Failure::None) return TRUE;
    turn.RemoveIfCreatedEmpty(m_strFilePath);
    return FALSE;
}

JokenSettingsFile::Failure JokenSettingsFile::WriteInTurn(HANDLE hFile, bool bLocked, LPCSTR pszKey,
                                                          const std::string& line, LPCSTR pszExport) const
{
    // The export that the run has just completed stays as it was written.
    if (pszExport != nullptr && *pszExport != '\0' && NamesFile(pszExport, hFile)) return Failure::OwnExport;

    DWORD size = 0;
    if (SizeOf(hFile, size) && size > kMaxFileSize) return Failure::TooLarge;
    std::string text;
    if (!ReadWhole(hFile, text, kMaxFileSize)) return Failure::NotRead;

    // The lines that a new file keeps: all but the key's and the free ones,
    // in their order, byte for byte.
    const std::string key(pszKey);
    bool hadKey = false;
    bool hadFree = false;
    std::string kept;
    kept.reserve(text.size() + line.size() + 1);
    for (size_t at = 0; at < text.size();) {
        const size_t lf = text.find('\n', at);
        const size_t end = lf == std::string::npos ? text.size() : lf;
        const size_t next = lf == std::string::npos ? text.size() : lf + 1;
        if (text.compare(at, key.size(), key) == 0)
            hadKey = true;
        else if (IsFreeLine(text, at, end))
            hadFree = true;
        else
            kept.append(text, at, next - at);
        at = next;
    }
    // A new key in a file with nothing to give back: the line is appended.
    if (hadKey || hadFree) {
        if (!kept.empty() && kept.back() != '\n') kept += '\n';
        kept += line;
        if (kept.size() <= kMaxFileSize) {
            const Replaced replaced = ReplaceWith(kept);
            if (replaced == Replaced::Done) return Failure::None;
            if (replaced == Replaced::NotWritten) return Failure::NotWritten;
        }
    }
    InPlaceEdit edit(hFile, std::move(text), bLocked);
    return edit.Put(key, line);
}

const char* JokenSettingsFile::FailureText(Failure why)
{
    switch (why) {
    case Failure::None: return "";
    case Failure::NotStorable: return "出力先のパスが長すぎるか、改行を含んでいます。";
    case Failure::NoFolder: return "設定フォルダが指定されていないか、作成できません。";
    case Failure::NotOpened: return "設定ファイルを開けません（書き込みの権限がないか、通常のファイルではありません）。";
    case Failure::NoTurn: return "設定ファイルをほかの実行が使用中のまま、待ち時間を過ぎました。";
    case Failure::OwnExport: return "設定ファイルが今回の出力ファイルそのものです。";
    case Failure::TooLarge: return "設定ファイルが大きすぎます（1 MB を超えています）。";
    case Failure::NotRead: return "設定ファイルを読み込めません。";
    case Failure::Full: return "設定ファイルに空きがありません（1 MB に達しています）。";
    case Failure::NotWritten: return "設定ファイルに書き込めません（ディスクの空きが足りないなど）。";
    }
    return "";
}
