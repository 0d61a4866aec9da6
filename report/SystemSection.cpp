// The SYSTEM section of the link file: the kind of data, the format version,
// the caller's function id, this program's version and the bookkeeping
// product's name and version.
//
// The product's name and version come from the support-information file.
// Every line of the link file has at most 255 bytes, and the filing
// application reads it that way; a name or version too long for its line is
// therefore cut, at a character boundary and never inside an entity, so that
// its escaped form keeps within its line (224 bytes for the name, 226 for the
// version).
#include "report/SystemSection.h"

#include "report/CSupportInfo.h"
#include "report/CXmlWriter.h"
#include "report/LinkLevels.h"
#include "report/TagNameTable.h"
#include "res/StringTable.h"
#include "win32/Mbcs.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr size_t kProductNameLimit = 224;
constexpr size_t kProductVersionLimit = 226;

const char kDefaultProductVersion[] = "22.50.0X";

// Bytes of a character once escaped.
size_t EscapedLength(std::string_view ch)
{
    if (ch.size() != 1) return ch.size();
    switch (ch[0]) {
    case '&': return 5;   // &amp;
    case '<':
    case '>': return 4;   // &lt; &gt;
    case '"':
    case '\'': return 6;  // &quot; &apos;
    default: return 1;
    }
}

// The longest run of whole characters from the start whose escaped form has
// at most `limit` bytes.
std::string CutEscaped(const char* value, size_t limit)
{
    const std::string_view text(value);
    size_t cut = 0;
    size_t escaped = 0;
    while (cut < text.size()) {
        const size_t len = mbcs::CharLen(text, cut);
        const size_t add = EscapedLength(text.substr(cut, len));
        if (escaped + add > limit) break;
        escaped += add;
        cut += len;
    }
    return std::string(text.substr(0, cut));
}

}  // namespace

namespace linkfile {

int WriteSystemSection(CXmlWriter* pWriter, short nFunctionId, LPCTSTR lpszProductName)
{
    char line[CXmlWriter::kLineBufferSize] = {};
    char functionId[CXmlWriter::kLineBufferSize] = {};
    std::snprintf(functionId, sizeof functionId, "%d", static_cast<int>(nFunctionId));

    // A string that cannot be loaded leaves the element empty.
    CString version;
    version.LoadString(IDS_PROGRAM_VERSION);

    std::string productName;
    std::string productVersion;
    {
        CSupportInfo support;
        const char* name = support.GetProductName();
        const char* ver = support.GetProductVersion();
        productName = CutEscaped(*name != '\0' ? name : lpszProductName, kProductNameLimit);
        productVersion = CutEscaped(*ver != '\0' ? ver : kDefaultProductVersion, kProductVersionLimit);
    }

    const int first = tagidx::kSystemFirst;
    if (!pWriter->WriteStartElement(line, "SYSTEM", linklevel::kSection)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 0], "SY35", linklevel::kSectionValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 1], "1", linklevel::kSectionValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 2], functionId, linklevel::kSectionValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 3], version, linklevel::kSectionValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 4], productName.c_str(), linklevel::kSectionValue)) return 0;
    if (!pWriter->WriteElement(line, TagNameTable[first + 5], productVersion.c_str(), linklevel::kSectionValue)) return 0;
    return pWriter->WriteEndElement(line, "SYSTEM", linklevel::kSection) ? 1 : 0;
}

}  // namespace linkfile
