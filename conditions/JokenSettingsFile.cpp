#include "conditions/JokenSettingsFile.h"

#include "conditions/FolderChain.h"
#include "conditions/PathParts.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Name of the file the new content is written to before it replaces the
// settings file.
const char kNewFileSuffix[] = ".new";

bool HasLineBreak(const char* text)
{
    return std::strpbrk(text, "\r\n") != nullptr;
}

// A numeric field as the writer makes it: an optional minus and at least one
// digit, within [lo, hi]. Anything else marks the line as damaged.
bool ParseField(const std::string& field, long lo, long hi, long& value)
{
    size_t i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) {
        negative = field[i] == '-';
        ++i;
    }
    if (i == field.size() || field.size() - i > 10) return false;
    long long v = 0;
    for (; i < field.size(); ++i) {
        if (field[i] < '0' || field[i] > '9') return false;
        v = v * 10 + (field[i] - '0');
    }
    if (negative) v = -v;
    if (v < lo || v > hi) return false;
    value = static_cast<long>(v);
    return true;
}

// Closes a file without reporting errors; the caller has already decided.
void AbortQuietly(CFile& file)
{
    file.Abort();
}

void RemoveQuietly(LPCSTR path)
{
    try {
        CFile::Remove(path);
    } catch (CFileException* e) {
        e->Delete();
    }
}

}  // namespace

JokenSettingsFile::JokenSettingsFile(LPCSTR pszFolder, LPCSTR pszFileName)
    : m_strFolder(pszFolder), m_strFilePath(CString(pszFolder) + pszFileName)
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
    if (value.find('\0') != std::string::npos) return false;

    std::string fields[6];
    size_t pos = 0;
    for (std::string& field : fields) {
        size_t slash = value.find('/', pos);
        if (slash == std::string::npos) return false;
        field = value.substr(pos, slash - pos);
        pos = slash + 1;
    }
    std::string path = value.substr(pos);
    if (path.size() > static_cast<size_t>(kMaxPathBytes) || path.find('\r') != std::string::npos) return false;

    long mode, start, end, uriage, shiire, niwari;
    if (!ParseField(fields[0], INT_MIN, INT_MAX, mode) || !ParseField(fields[1], SHRT_MIN, SHRT_MAX, start) ||
        !ParseField(fields[2], SHRT_MIN, SHRT_MAX, end) || !ParseField(fields[3], 0, 255, uriage) ||
        !ParseField(fields[4], 0, 255, shiire) || !ParseField(fields[5], 0, 255, niwari))
        return false;

    out.nMode = static_cast<int>(mode);
    out.nStartMonth = static_cast<short>(start);
    out.nEndMonth = static_cast<short>(end);
    out.byUriage = static_cast<BYTE>(uriage);
    out.byShiire = static_cast<BYTE>(shiire);
    out.byNiwari = static_cast<BYTE>(niwari);
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

bool JokenSettingsFile::LoadFile(std::string& text, bool& bExists) const
{
    bExists = false;
    CFileStatus status;
    if (!CFile::GetStatus(m_strFilePath, status)) return false;
    bExists = true;
    if (status.m_attribute & FILE_ATTRIBUTE_DIRECTORY) return false;
    if (status.m_size > kMaxFileSize) return false;

    CFile file;
    if (!file.Open(m_strFilePath, CFile::modeRead | CFile::shareDenyWrite)) return false;
    try {
        ULONGLONG length = file.GetLength();
        if (length > kMaxFileSize) {
            AbortQuietly(file);
            return false;
        }
        text.assign(static_cast<size_t>(length), '\0');
        UINT got = length ? file.Read(text.data(), static_cast<UINT>(length)) : 0;
        text.resize(got);
        file.Close();
    } catch (CFileException* e) {
        e->Delete();
        AbortQuietly(file);
        return false;
    }
    return true;
}

BOOL JokenSettingsFile::Read(LPCSTR pszKey, Conditions& out) const
{
    if (pszKey == nullptr || *pszKey == '\0' || HasLineBreak(pszKey)) return FALSE;
    if (m_strFolder.IsEmpty()) return FALSE;

    std::string text;
    bool exists = false;
    if (!LoadFile(text, exists)) return FALSE;

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

BOOL JokenSettingsFile::Write(LPCSTR pszKey, const Conditions& values) const
{
    const std::string line = FormatLine(pszKey, values);
    if (line.empty()) return FALSE;
    if (m_strFolder.IsEmpty()) return FALSE;
    if (!EnsureFolder()) return FALSE;

    // The old file stays open, and so locked against another writer, until
    // the new one has taken its place.
    CFile old;
    std::string text;
    CFileStatus status;
    if (CFile::GetStatus(m_strFilePath, status)) {
        if ((status.m_attribute & FILE_ATTRIBUTE_DIRECTORY) || status.m_size > kMaxFileSize) return FALSE;
        if (!old.Open(m_strFilePath, CFile::modeRead | CFile::shareExclusive)) return FALSE;
        try {
            ULONGLONG length = old.GetLength();
            if (length > kMaxFileSize) {
                AbortQuietly(old);
                return FALSE;
            }
            text.assign(static_cast<size_t>(length), '\0');
            UINT got = length ? old.Read(text.data(), static_cast<UINT>(length)) : 0;
            text.resize(got);
        } catch (CFileException* e) {
            e->Delete();
            AbortQuietly(old);
            return FALSE;
        }
    }

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
    if (kept.size() > kMaxFileSize) {
        AbortQuietly(old);
        return FALSE;
    }

    const CString newPath = m_strFilePath + kNewFileSuffix;
    CFile out;
    if (!out.Open(newPath, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) {
        AbortQuietly(old);
        return FALSE;
    }
    try {
        out.Write(kept.data(), static_cast<UINT>(kept.size()));
        out.Flush();
        out.Close();
    } catch (CFileException* e) {
        e->Delete();
        AbortQuietly(out);
        RemoveQuietly(newPath);
        AbortQuietly(old);
        return FALSE;
    }
    // One step: a reader finds the old file or the new one, never none.
    BOOL replaced = MoveFileExA(newPath, m_strFilePath, MOVEFILE_REPLACE_EXISTING);
    if (!replaced) RemoveQuietly(newPath);
    AbortQuietly(old);
    return replaced;
}
