// Helpers of the report tests: a host folder per test, the written file read
// back as the elements of each form, a file whose disk fills, a file-size
// limit, and an application object with the run's buffers.
#pragma once

#include "app/ShohizeiLinkApp.h"
#include "mfc/Afx.h"
#include "report/CXmlWriter.h"
#include "suite/RuleTypes.h"
#include "suite/SuiteRecords.h"
#include "tests/support/TestTemp.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <utility>
#include <vector>

namespace reporttest {

namespace fs = std::filesystem;

inline fs::path NewHostDir(const std::string& tag)
{
    return fs::path(testtemp::Make("zk_report_" + tag + "_"));
}

// The Windows path of a host path, through Z: (the host's root).
inline std::string Win(const fs::path& host)
{
    std::string s = "Z:" + host.string();
    for (char& c : s) {
        if (c == '/') c = '\\';
    }
    return s;
}

inline std::string ReadAll(const fs::path& host)
{
    std::ifstream in(host, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// How often `what` stands in `text`.
inline int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
    return n;
}

// A host folder of its own for each test, removed after it.
class HostDirTest : public ::testing::Test {
protected:
    void SetUp() override { dir = NewHostDir(::testing::UnitTest::GetInstance()->current_test_info()->name()); }
    void TearDown() override { fs::remove_all(dir); }
    fs::path Host(const std::string& name) const { return dir / name; }

    fs::path dir;
};

// The same folder made the current directory, through its Windows path, for
// the test's time: where the support-information file is looked for.
class InHostDirTest : public HostDirTest {
protected:
    void SetUp() override
    {
        HostDirTest::SetUp();
        char previous[MAX_PATH + 1] = {};
        GetCurrentDirectoryA(sizeof previous, previous);
        previous_ = previous;
        ASSERT_TRUE(SetCurrentDirectoryA(Win(dir).c_str()));
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(previous_.c_str());
        HostDirTest::TearDown();
    }
    void WriteSupportFile(const std::string& bytes) const
    {
        std::ofstream(dir / "SUPPORT.INF", std::ios::binary | std::ios::trunc) << bytes;
    }

private:
    std::string previous_;
};

// One line of the file: its TAB level, its element name and, for an element
// with text, the text; `kind` is 's' start tag, 'e' element, 'x' end tag.
struct Line {
    int level = 0;
    char kind = 0;
    std::string name;
    std::string text;
};

// Splits the file into its lines; every line must end with CR LF and be one
// of the three forms.
inline std::vector<Line> ParseLines(const std::string& file)
{
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < file.size()) {
        const size_t end = file.find("\r\n", pos);
        EXPECT_NE(end, std::string::npos) << "line without CR LF at " << pos;
        if (end == std::string::npos) break;
        std::string raw = file.substr(pos, end - pos);
        pos = end + 2;
        Line line;
        while (line.level < static_cast<int>(raw.size()) && raw[line.level] == '\t') ++line.level;
        raw = raw.substr(line.level);
        if (raw.rfind("<?xml", 0) == 0) continue;
        if (raw.rfind("</", 0) == 0) {
            line.kind = 'x';
            line.name = raw.substr(2, raw.size() - 3);
        } else {
            const size_t close = raw.find('>');
            line.name = raw.substr(1, close - 1);
            const size_t endTag = raw.find("</", close);
            if (endTag == std::string::npos) {
                line.kind = 's';
            } else {
                line.kind = 'e';
                line.text = raw.substr(close + 1, endTag - close - 1);
                EXPECT_EQ(raw.substr(endTag), "</" + line.name + ">") << raw;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

// The value elements of each container (form element, KANPUH, KANPUK, SYSTEM,
// BASIC), in file order.
using Elements = std::vector<std::pair<std::string, std::string>>;
inline std::map<std::string, Elements> ByContainer(const std::vector<Line>& lines)
{
    std::map<std::string, Elements> out;
    std::string current;
    for (const Line& line : lines) {
        if (line.kind == 's') {
            current = line.name;
            out[current];
        } else if (line.kind == 'e') {
            out[current].emplace_back(line.name, line.text);
        }
    }
    return out;
}

inline std::string ValueOf(const std::map<std::string, Elements>& data, const std::string& form,
                           const std::string& name)
{
    auto it = data.find(form);
    if (it == data.end()) return "<no form " + form + ">";
    for (const auto& element : it->second) {
        if (element.first == name) return element.second;
    }
    return "<no element " + name + ">";
}

// A file whose disk fills after `budget` bytes.
class FillingFile : public CFile {
public:
    explicit FillingFile(size_t budget) : budget_(budget) {}
    void Write(const void* buffer, UINT count) override
    {
        if (count <= budget_) {
            budget_ -= count;
            CFile::Write(buffer, count);
            return;
        }
        if (budget_ > 0) CFile::Write(buffer, static_cast<UINT>(budget_));
        budget_ = 0;
        throw new CFileException(CFileException::diskFull, 112);
    }

private:
    size_t budget_;
};

// Writes through a fresh writer into a file of its own and returns the text.
template <class Fn>
std::string WriteWith(Fn fn, int* pResult = nullptr, size_t budget = static_cast<size_t>(-1))
{
    const fs::path dir = NewHostDir("w");
    const fs::path out = dir / "out.xml";
    {
        FillingFile file(budget);
        CXmlWriter writer;
        EXPECT_EQ(writer.Open(&file, Win(out).c_str()), 0);
        const int result = fn(&writer);
        if (pResult) *pResult = result;
    }
    std::string text = ReadAll(out);
    fs::remove_all(dir);
    return text;
}

inline void PutRaw(void* record, int offset, __int64 value)
{
    std::memcpy(static_cast<BYTE*>(record) + offset, &value, sizeof value);
}

// An application object with the run's buffers for five rates, zeroed.
struct AppWithBuffers {
    CShohizeiLinkApp app;
    AppWithBuffers()
    {
        app.m_pRateInfo = reinterpret_cast<StTAXREPORTRATEINFO*>(new BYTE[15 * sizeof(StTAXREPORTRATEINFO)]());
        app.m_pBusinessTypeInfo =
            reinterpret_cast<StTAXREPORTBUSINESSTYPEINFO*>(new BYTE[30 * sizeof(StTAXREPORTBUSINESSTYPEINFO)]());
        app.m_pSaveTaxInfo = new BYTE[SAVETAXINFO_BUFFER_SIZE]();
    }
    // Record of group g (1 to 3) and rate index r.
    StTAXREPORTRATEINFO* Rate(int g, int r) { return &app.m_pRateInfo[(g - 1) * 5 + r]; }
    StTAXREPORTBUSINESSTYPEINFO* Kind(int r, int k) { return &app.m_pBusinessTypeInfo[r * 6 + (k - 1)]; }
    void Save(int offset, __int64 value) { PutRaw(app.m_pSaveTaxInfo, offset, value); }
};

// Files beyond `bytes` cannot grow while it lives: writes fail as on a full
// disk. The limit's signal keeps its default action meanwhile, which ends the
// test program if a write lets it through.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        struct sigaction fatal = {};
        fatal.sa_handler = SIG_DFL;
        sigaction(SIGXFSZ, &fatal, &oldAction_);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        sigaction(SIGXFSZ, &oldAction_, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    struct sigaction oldAction_ = {};
};

}  // namespace reporttest
