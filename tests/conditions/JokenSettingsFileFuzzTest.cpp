// Property tests of the remembered-conditions file over seeded random files
// and random sequences of writes.
//
// Starting from a random file (valid lines of several users, damaged lines,
// lines of arbitrary bytes with NULs and CRs, CR LF endings, a last line
// without its line feed, or no file at all), every Write(key, values):
// - succeeds iff the key is not empty and neither key nor path holds a CR or
//   LF (the path buffer holds at most 260 bytes);
// - on success leaves exactly: the old file's lines that do not begin with
//   the key, byte for byte and in order (the last one given a line feed when
//   it had none; when the key had a line or the file holds free lines, the
//   free lines are dropped too: lines of spaces only, which rewrites in place
//   left, and lines hidden behind a NUL), then "<key><mode>/
//   <start>/<end>/<sales>/<purchase>/<niwari>/<path>\n"; on refusal the file
//   as it was;
// - is read back: Read(key) gives what was written;
// - leaves nothing beside the settings file.
// And every Read(key) on any file gives 1 iff the first line beginning with
// the key continues with six non-empty fields each ended by '/', then a path
// of at most 260 bytes without NUL (one CR before the line feed is dropped);
// it then gives the fields read as the platform runtime's atoi reads them,
// cut to their widths, and otherwise leaves its output untouched.
// A write that the disk stops half way (a file-size limit standing in for a
// full disk, with the signal of that limit at its default disposition, so
// the test ends if the writer lets the limit end the process) fails and
// leaves the old file, every other user's line in it, whole.
#include "conditions/JokenSettingsFile.h"

#include "TestDrives.h"
#include "tests/support/FuzzText.h"

#include <csignal>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/resource.h>

namespace {

using Conditions = JokenSettingsFile::Conditions;

using JokenSettingsFileFuzzTest = SettingsFileDrives;

// --- the oracle --------------------------------------------------------------

std::string Line(const std::string& key, const Conditions& c)
{
    std::ostringstream s;
    s << key << c.nMode << '/' << c.nStartMonth << '/' << c.nEndMonth << '/' << int(c.byUriage) << '/'
      << int(c.byShiire) << '/' << int(c.byNiwari) << '/' << c.szPath << '\n';
    return s.str();
}

bool Storable(const std::string& key, const Conditions& c)
{
    const std::string path(c.szPath);
    return !key.empty() && key.find_first_of("\r\n") == std::string::npos &&
           path.find_first_of("\r\n") == std::string::npos;
}

// The file after a successful write, from the old bytes ("<none>": empty).
std::string AfterWrite(const std::string& old, const std::string& key, const std::string& line)
{
    std::vector<std::string> lines;
    bool hadKey = false;
    if (old != "<none>") {
        size_t start = 0;
        while (start < old.size()) {
            size_t lf = old.find('\n', start);
            const size_t end = lf == std::string::npos ? old.size() : lf + 1;
            lines.push_back(old.substr(start, end - start));
            hadKey = hadKey || lines.back().compare(0, key.size(), key) == 0;
            start = end;
        }
    }
    // Free lines: of spaces only (blanked), or hidden behind a NUL.
    auto isFree = [](const std::string& one) {
        const std::string body = one.back() == '\n' ? one.substr(0, one.size() - 1) : one;
        return !body.empty() && (body[0] == '\0' || body.find_first_not_of(' ') == std::string::npos);
    };
    bool hadFree = false;
    for (const std::string& one : lines) hadFree = hadFree || (one.compare(0, key.size(), key) != 0 && isFree(one));
    std::string kept;
    for (const std::string& one : lines)
        if (one.compare(0, key.size(), key) != 0 && !((hadKey || hadFree) && isFree(one))) kept += one;
    if (!kept.empty() && kept.back() != '\n') kept += '\n';
    return kept + line;
}

// atoi of the platform runtime: C-locale blanks, a sign, digits; the value
// saturates at the int limits.
long long AtoiOracle(const std::string& field)
{
    static const std::regex number(R"(^[ \t\n\v\f\r]*([+-]?)0*([0-9]*))");
    std::smatch m;
    std::regex_search(field, m, number);
    const std::string digits = m[2].str();
    const bool negative = m[1].str() == "-";
    if (digits.size() > 10) return negative ? INT_MIN : INT_MAX;
    const long long magnitude = digits.empty() ? 0 : std::stoll(digits);
    return negative ? std::max<long long>(-magnitude, INT_MIN) : std::min<long long>(magnitude, INT_MAX);
}

// What Read must give for the key on these bytes: false, or true and values.
bool ExpectedRead(const std::string& file, const std::string& key, Conditions& out)
{
    if (file == "<none>" || key.empty() || key.find_first_of("\r\n") != std::string::npos) return false;
    size_t start = 0;
    while (start < file.size() && file.compare(start, key.size(), key) != 0) {
        size_t lf = file.find('\n', start);
        if (lf == std::string::npos) return false;
        start = lf + 1;
    }
    if (start >= file.size()) return false;
    size_t lf = file.find('\n', start);
    std::string value = file.substr(start + key.size(), lf == std::string::npos ? std::string::npos
                                                                               : lf - start - key.size());
    if (!value.empty() && value.back() == '\r') value.pop_back();

    long long v[6];
    size_t pos = 0;
    for (long long& field : v) {
        const size_t slash = value.find('/', pos);
        if (slash == std::string::npos || slash == pos) return false;
        field = AtoiOracle(value.substr(pos, slash - pos));
        pos = slash + 1;
    }
    const std::string path = value.substr(pos);
    if (path.size() > 260 || path.find('\0') != std::string::npos) return false;
    out = Conditions();
    out.nMode = static_cast<int>(v[0]);
    out.nStartMonth = static_cast<short>(v[1]);
    out.nEndMonth = static_cast<short>(v[2]);
    out.byUriage = static_cast<BYTE>(v[3]);
    out.byShiire = static_cast<BYTE>(v[4]);
    out.byNiwari = static_cast<BYTE>(v[5]);
    std::memcpy(out.szPath, path.data(), path.size());
    return true;
}

bool Same(const Conditions& a, const Conditions& b)
{
    return a.nMode == b.nMode && a.nStartMonth == b.nStartMonth && a.nEndMonth == b.nEndMonth &&
           a.byUriage == b.byUriage && a.byShiire == b.byShiire && a.byNiwari == b.byNiwari &&
           std::memcmp(a.szPath, b.szPath, sizeof a.szPath) == 0;
}

// --- generators --------------------------------------------------------------

std::string RandomId(fuzz::Gen& g, int maxLen)
{
    std::string id;
    for (char ch : g.Text(maxLen, "abcXYZ019_-.@ "))
        if (ch != '/' && ch != ':' && ch != '\r' && ch != '\n' && ch != '\0') id += ch;
    return id.empty() ? std::string("u") : id;
}

std::vector<std::string> RandomKeys(fuzz::Gen& g)
{
    std::vector<std::string> keys;
    const long long n = g.Int(2, 6);
    for (long long i = 0; i < n; ++i) {
        const std::string user = RandomId(g, i == 0 ? 64 : 12);
        const std::string data = "{" + RandomId(g, i == 1 ? 34 : 8) + "}";
        keys.emplace_back(JokenSettingsFile::MakeKey(user.c_str(), data.c_str(), g.Chance(30),
                                                     static_cast<long>(g.Int(-5, 2147483647))));
    }
    return keys;
}

Conditions RandomConditions(fuzz::Gen& g)
{
    Conditions c;
    c.nMode = static_cast<int>(g.Chance(50) ? g.Int(0, 1) : g.Int(INT_MIN, INT_MAX));
    c.nStartMonth = static_cast<short>(g.Chance(70) ? g.Int(1, 12) : g.Int(SHRT_MIN, SHRT_MAX));
    c.nEndMonth = static_cast<short>(g.Chance(70) ? g.Int(1, 12) : g.Int(SHRT_MIN, SHRT_MAX));
    c.byUriage = static_cast<BYTE>(g.Int(0, 255));
    c.byShiire = static_cast<BYTE>(g.Int(0, 255));
    c.byNiwari = static_cast<BYTE>(g.Int(0, 1));
    std::string path = g.Chance(5) ? std::string(260, 'p') : "C:\\" + g.Text(g.Chance(10) ? 257 : 60, "a/\\.:x ");
    if (g.Chance(5)) path[g.Int(0, path.size() - 1)] = g.Chance(50) ? '\r' : '\n';
    path.resize(std::min<size_t>(path.size(), 260));
    std::memcpy(c.szPath, path.c_str(), path.size() + 1);
    return c;
}

// A line of the initial file: valid, damaged in one place, or any bytes.
std::string RandomFileLine(fuzz::Gen& g, const std::vector<std::string>& keys)
{
    std::string line;
    const long long kind = g.Int(0, 9);
    const std::string key = g.Chance(80) ? g.Pick(keys) : RandomId(g, 10) + "/" + RandomId(g, 5) + ":";
    if (kind < 5) {
        line = Line(key, RandomConditions(g));
        line.pop_back();
        if (line.find_first_of("\r\n", key.size()) != std::string::npos) line = key + "0/1/1/0/0/0/p";
    } else if (kind < 8) {
        line = Line(key, RandomConditions(g));
        line.pop_back();
        // Damage one byte after the key, or cut the line, or lengthen the path.
        const size_t at = static_cast<size_t>(g.Int(key.size(), line.size()));
        switch (g.Int(0, 3)) {
        case 0: line.insert(at, 1, "/x-+0\xFF \t\0"[g.Int(0, 8)]); break;
        case 1: line.resize(at); break;
        case 2: line += std::string(static_cast<size_t>(g.Int(200, 300)), 'L'); break;
        default: line.insert(at, g.Text(g.Chance(30) ? 24 : 4, "/0123456789")); break;
        }
        for (char& ch : line)
            if (ch == '\n') ch = '?';
    } else {
        for (char ch : g.Text(120, "/:0123456789\r\t"))
            line += ch == '\n' ? '\0' : ch;
        if (g.Chance(50)) line = key + line;
    }
    if (g.Chance(15)) line += '\r';
    // A line blanked by a rewrite in place.
    if (g.Chance(5)) line = std::string(static_cast<size_t>(g.Int(1, 40)), ' ');
    return line;
}

std::string RandomFile(fuzz::Gen& g, const std::vector<std::string>& keys)
{
    if (g.Chance(10)) return "<none>";
    std::string file;
    const long long lines = g.Int(0, 12);
    for (long long i = 0; i < lines; ++i) file += RandomFileLine(g, keys) + "\n";
    if (!file.empty() && g.Chance(25)) file.pop_back();  // last line without its line feed
    if (g.Chance(5)) file += "\n\n";
    return file;
}

// Every key's Read against the oracle on the file's current bytes.
void CheckReads(const JokenSettingsFile& file, const std::vector<std::string>& keys, const std::string& bytes)
{
    for (const std::string& key : keys) {
        Conditions expected;
        const bool found = ExpectedRead(bytes, key, expected);
        Conditions out;
        out.nMode = 0x7A7A;
        std::strcpy(out.szPath, "untouched");
        const Conditions before = out;
        ASSERT_EQ(file.Read(key.c_str(), out) != FALSE, found) << "key " << key << "\nfile:\n" << bytes;
        ASSERT_TRUE(Same(out, found ? expected : before)) << "key " << key << "\nfile:\n" << bytes;
    }
}

TEST_F(JokenSettingsFileFuzzTest, WritesKeepOtherLinesAndReadBack)
{
    const uint32_t seed = fuzz::Seed(0x5EED0101u);
    fuzz::Gen g(seed);
    const JokenSettingsFile file = File();
    int written = 0, refused = 0, readBack = 0;
    for (int n = 0; n < fuzz::Cases(150); ++n) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(n));
        std::vector<std::string> keys = RandomKeys(g);
        SetContents(RandomFile(g, keys));
        ASSERT_NO_FATAL_FAILURE(CheckReads(file, keys, Contents()));

        const long long writes = g.Int(1, 4);
        for (long long w = 0; w < writes; ++w) {
            std::string key = g.Pick(keys);
            if (g.Chance(4)) key = g.Chance(50) ? std::string() : key + "\n";
            const Conditions values = RandomConditions(g);
            const std::string before = Contents();
            const bool ok = file.Write(key.c_str(), values) != FALSE;
            ASSERT_EQ(ok, Storable(key, values)) << "key " << key << " path " << values.szPath;
            ASSERT_LE(std::distance(std::filesystem::directory_iterator(HostFile().parent_path()),
                                    std::filesystem::directory_iterator()),
                      1);
            if (!ok) {
                ++refused;
                ASSERT_EQ(Contents(), before);
                continue;
            }
            ++written;
            ASSERT_EQ(Contents(), AfterWrite(before, key, Line(key, values)));
            Conditions out;
            ASSERT_TRUE(file.Read(key.c_str(), out));
            ASSERT_TRUE(Same(out, values)) << "key " << key << " path " << values.szPath;
            ++readBack;
        }
        ASSERT_NO_FATAL_FAILURE(CheckReads(file, keys, Contents()));
    }
    EXPECT_GT(written, 100);
    EXPECT_GT(refused, 5);
    EXPECT_EQ(readBack, written);
}

// A file-size limit makes the host refuse the new content part way through,
// as a full disk does. The write fails; the old file stays byte for byte.
TEST_F(JokenSettingsFileFuzzTest, WriteStoppedByTheDiskLeavesTheOldFile)
{
    const uint32_t seed = fuzz::Seed(0x5EED0102u);
    fuzz::Gen g(seed);
    const JokenSettingsFile file = File();
    struct sigaction fatal = {}, previous = {};
    fatal.sa_handler = SIG_DFL;
    ASSERT_EQ(sigaction(SIGXFSZ, &fatal, &previous), 0);
    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);

    int failed = 0;
    for (int n = 0; n < fuzz::Cases(60); ++n) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(n));
        std::vector<std::string> keys = RandomKeys(g);
        std::string bytes = RandomFile(g, keys);
        if (bytes == "<none>" || bytes.size() < 2) bytes = Line(keys[0], RandomConditions(g));
        SetContents(bytes);
        const std::string before = Contents();
        Conditions values = RandomConditions(g);
        values.szPath[0] = 'C';  // storable
        for (char* p = values.szPath; *p; ++p)
            if (*p == '\r' || *p == '\n') *p = '_';
        const std::string key = g.Pick(keys);
        const std::string after = AfterWrite(before, key, Line(key, values));

        rlimit limit = saved;
        limit.rlim_cur = static_cast<rlim_t>(g.Int(0, static_cast<long long>(after.size()) - 1));
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const BOOL ok = file.Write(key.c_str(), values);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);

        ASSERT_FALSE(ok) << "limit " << limit.rlim_cur << " of " << after.size();
        ++failed;
        ASSERT_EQ(Contents(), before);
        ASSERT_EQ(std::distance(std::filesystem::directory_iterator(HostFile().parent_path()),
                                std::filesystem::directory_iterator()),
                  1);
        ASSERT_NO_FATAL_FAILURE(CheckReads(file, keys, before));
    }
    sigaction(SIGXFSZ, &previous, nullptr);
    EXPECT_GT(failed, 0);
}

}  // namespace
