#include "ui/script/Transcript.h"

#include "win32/Mbcs.h"

#include <cerrno>
#include <cstring>

namespace ui {

Transcript::~Transcript() { Close(); }

bool Transcript::Open(const std::string& path)
{
    Close();
    if (path.empty()) {
        m_file = stdout;
        return true;
    }
    m_file = std::fopen(path.c_str(), "w");
    if (!m_file) {
        std::fprintf(stderr, "zelkor: cannot create the transcript \"%s\" (%s); writing it to standard output\n",
                     path.c_str(), std::strerror(errno));
        m_file = stdout;
        return false;
    }
    m_own = true;
    return true;
}

void Transcript::Close()
{
    if (m_file && m_own) std::fclose(m_file);
    else if (m_file) std::fflush(m_file);
    m_file = nullptr;
    m_own = false;
}

void Transcript::Line(const std::string& utf8)
{
    std::FILE* f = m_file ? m_file : stdout;
    std::fwrite(utf8.data(), 1, utf8.size(), f);
    std::fputc('\n', f);
    // Line by line, so that the transcript and standard error interleave in
    // order and a crash loses nothing.
    std::fflush(f);
}

std::string Transcript::Quote(const std::string& cp932)
{
    std::string utf8 = mbcs::Cp932ToUtf8(cp932);
    std::string out = "\"";
    for (char ch : utf8) {
        unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02X", c);
                out += buf;
            } else {
                out += ch;
            }
        }
    }
    out += '"';
    return out;
}

}  // namespace ui
