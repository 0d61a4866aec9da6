// The link file's writer. See CXmlWriter.h.
//
// Lines, escaped texts and attributes are built in growable buffers, so a
// line longer than the caller's line buffer, or a text or attribute beyond
// 255 bytes, is still written whole and never overruns anything. The caller's
// line buffer receives a copy of the line as before; a line that does not fit
// the smallest buffer any caller passes (256 bytes) is cut there in the copy
// only, the file always gets the whole line.
#include "report/CXmlWriter.h"

#include <cstring>

namespace {

// The one escape buffer shared by all writers.
std::string& EscapeBuffer()
{
    static std::string buffer;
    return buffer;
}

void AppendTabs(std::string& line, int level)
{
    if (level > 0) line.append(static_cast<size_t>(level), '\t');
}

}  // namespace

CXmlWriter::CXmlWriter() : m_pFile(nullptr), m_bFailed(false) {}

CXmlWriter::~CXmlWriter()
{
    Close();
}

short CXmlWriter::Open(CFile* pFile, LPCSTR path)
{
    if (pFile == nullptr || path == nullptr) return -1;
    m_strPath = path;
    m_pFile = pFile;
    m_bFailed = false;
    if (!m_pFile->Open(m_strPath, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) return -1;
    return 0;
}

short CXmlWriter::Close()
{
    if (m_pFile != nullptr) {
        // Closing runs in the destructor as well: a file error here is
        // swallowed (the writes already reported theirs) rather than thrown
        // out of a destructor.
        try {
            m_pFile->Close();
        } catch (CFileException* e) {
            e->Delete();
        }
        m_pFile = nullptr;
    }
    return 0;
}

int CXmlWriter::WriteLine(LPCSTR text)
{
    if (text == nullptr || *text == '\0') return 1;
    // A writer that never got a file object has nowhere to write.
    if (m_pFile == nullptr) return 0;
    try {
        m_pFile->Write(text, static_cast<UINT>(std::strlen(text)));
    } catch (CFileException* e) {
        // The file is closed but kept, so that every later write fails too
        // and the file holds exactly what was written before the failure.
        try {
            m_pFile->Close();
        } catch (CFileException* closeError) {
            closeError->Delete();
        }
        e->Delete();
        m_bFailed = true;
        return 0;
    }
    return 1;
}

void CXmlWriter::AppendAttributes(std::string& line, LPCSTR attr1Name, LPCSTR attr1Value, LPCSTR attr2Name,
                                  LPCSTR attr2Value)
{
    // An attribute needs both its name and its value; the second follows only
    // a written first.
    if (attr1Name == nullptr || attr1Value == nullptr) return;
    line += ' ';
    line += attr1Name;
    line += "=\"";
    line += Escape(attr1Value);
    line += '"';
    if (attr2Name == nullptr || attr2Value == nullptr) return;
    line += ' ';
    line += attr2Name;
    line += "=\"";
    line += Escape(attr2Value);
    line += '"';
}

int CXmlWriter::Emit(LPSTR line, const std::string& built)
{
    if (line != nullptr) {
        size_t n = built.size() < kLineBufferSize - 1 ? built.size() : kLineBufferSize - 1;
        std::memcpy(line, built.data(), n);
        line[n] = '\0';
    }
    return WriteLine(built.c_str()) != 0 ? 1 : 0;
}

int CXmlWriter::WriteStartElement(LPSTR line, LPCSTR name, int level, LPCSTR attr1Name, LPCSTR attr1Value,
                                  LPCSTR attr2Name, LPCSTR attr2Value)
{
    std::string built;
    AppendTabs(built, level);
    built += '<';
    built += name ? name : "";
    AppendAttributes(built, attr1Name, attr1Value, attr2Name, attr2Value);
    built += ">\r\n";
    return Emit(line, built);
}

int CXmlWriter::WriteElement(LPSTR line, LPCSTR name, LPCSTR text, int level, LPCSTR attr1Name,
                             LPCSTR attr1Value, LPCSTR attr2Name, LPCSTR attr2Value)
{
    std::string built;
    AppendTabs(built, level);
    built += '<';
    built += name ? name : "";
    AppendAttributes(built, attr1Name, attr1Value, attr2Name, attr2Value);
    built += '>';
    built += Escape(text);
    built += "</";
    built += name ? name : "";
    built += ">\r\n";
    return Emit(line, built);
}

int CXmlWriter::WriteEndElement(LPSTR line, LPCSTR name, int level)
{
    std::string built;
    AppendTabs(built, level);
    built += "</";
    built += name ? name : "";
    built += ">\r\n";
    return Emit(line, built);
}

LPCSTR CXmlWriter::Escape(LPCSTR text)
{
    std::string& out = EscapeBuffer();
    out.clear();
    if (out.capacity() < kEscapeBufferSize) out.reserve(kEscapeBufferSize);
    if (text == nullptr) return out.c_str();
    // Byte by byte: every byte of a double-byte character is 0x40 or above,
    // so none of them is taken for one of these five.
    for (const char* p = text; *p != '\0'; ++p) {
        switch (*p) {
        case '&': out += "&amp;"; break;
        case '>': out += "&gt;"; break;
        case '<': out += "&lt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += *p; break;
        }
    }
    return out.c_str();
}
