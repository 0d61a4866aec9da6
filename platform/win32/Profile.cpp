// Reading INI files: [section] lines, key=value lines, ';' comments.
//
// The file is read through the drive map (a relative name resolves against
// the current directory). Sections and keys match ignoring the case of ASCII
// letters; the first line of the key in a section of that name wins.
// Blanks around keys and values are dropped, and a value wholly enclosed in
// a pair of double or single quotes loses them. A line without '=' is no key.
//
// Only a regular file is read, and only its first kMaxProfileBytes bytes: a
// FIFO, a socket or a device (a link to /dev/zero) reads as a file that
// cannot be opened, so nothing waits for a writer or grows without end. A
// line that the bound cuts is not taken (its value could be cut too).
#include "win32/Kernel.h"

#include "win32/DriveMap.h"
#include "win32/HostWrite.h"
#include "win32/Mbcs.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The most of an INI file that is read.
constexpr size_t kMaxProfileBytes = 65536;

// The file's first kMaxProfileBytes bytes, without a line that the bound
// cuts; false when it is no regular file that can be opened and read.
bool ReadBounded(const std::string& host, std::string* text)
{
    const int fd = hostio::Open(host.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    // One byte more than the bound tells whether the file goes on beyond it.
    std::string buffer(kMaxProfileBytes + 1, '\0');
    size_t got = 0;
    while (got < buffer.size()) {
        const ssize_t n = ::read(fd, &buffer[got], buffer.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    buffer.resize(got);
    if (got > kMaxProfileBytes) {
        const size_t lastLineEnd = buffer.rfind('\n', kMaxProfileBytes - 1);
        buffer.resize(lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1);
    }
    *text = std::move(buffer);
    return true;
}

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

struct Entry {
    std::string section;
    std::string key;      // empty for a section line
    std::string value;
    bool isSection = false;
};

bool ReadEntries(LPCSTR file, std::vector<Entry>* out)
{
    if (!file || !*file) return false;
    std::string host = DriveMap::ToHostPath(file);
    if (host.empty()) return false;
    std::string text;
    if (!ReadBounded(host, &text)) return false;
    std::istringstream in(text);
    std::string line, section;
    bool inSection = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string t = Trim(line);
        if (t.empty() || t[0] == ';') continue;
        if (t[0] == '[') {
            size_t close = mbcs::FindChar(t, ']');
            section = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            inSection = true;
            out->push_back(Entry{section, {}, {}, true});
            continue;
        }
        if (!inSection) continue;
        size_t eq = mbcs::FindChar(t, '=');
        if (eq == std::string::npos) continue;
        std::string key = Trim(t.substr(0, eq));
        std::string value = Trim(t.substr(eq + 1));
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0] &&
            !mbcs::IsTrailAt(value, value.size() - 1))
            value = value.substr(1, value.size() - 2);
        out->push_back(Entry{section, key, value, false});
    }
    return true;
}

// Copies one text, cut to size - 1 bytes and a NUL; the copied length.
DWORD CopyValue(const std::string& text, LPSTR buffer, DWORD size)
{
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<DWORD>(n);
}

// Copies a list of names, each NUL-terminated, with a second NUL at the end.
// When it does not fit, the list is cut, ends with two NULs and the result
// is size - 2.
DWORD CopyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size)
{
    std::string all;
    for (const auto& n : names) {
        all += n;
        all += '\0';
    }
    if (all.size() + 1 <= size) {
        std::memcpy(buffer, all.data(), all.size());
        buffer[all.size()] = '\0';
        return static_cast<DWORD>(all.size());
    }
    if (size < 2) {
        if (size == 1) buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, all.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName)
{
    if (!lpReturnedString || nSize == 0) return 0;
    std::vector<Entry> entries;
    bool found = ReadEntries(lpFileName, &entries);
    SetLastError(found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);

    if (!lpAppName) {
        std::vector<std::string> names;
        for (const auto& e : entries)
            if (e.isSection) names.push_back(e.section);
        return CopyList(names, lpReturnedString, nSize);
    }
    if (!lpKeyName) {
        std::vector<std::string> names;
        for (const auto& e : entries)
            if (!e.isSection && _stricmp(e.section.c_str(), lpAppName) == 0) {
                bool seen = false;
                for (const auto& n : names) seen = seen || _stricmp(n.c_str(), e.key.c_str()) == 0;
                if (!seen) names.push_back(e.key);
            }
        return CopyList(names, lpReturnedString, nSize);
    }
    for (const auto& e : entries) {
        if (!e.isSection && _stricmp(e.section.c_str(), lpAppName) == 0 && _stricmp(e.key.c_str(), lpKeyName) == 0)
            return CopyValue(e.value, lpReturnedString, nSize);
    }
    // The default loses its trailing blanks.
    std::string def = lpDefault ? lpDefault : "";
    while (!def.empty() && (def.back() == ' ' || def.back() == '\t')) def.pop_back();
    return CopyValue(def, lpReturnedString, nSize);
}
