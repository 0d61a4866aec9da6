// The transcript of the script backend: what a user would have seen, one event
// a line, UTF-8, written to a file or to standard output. The format is
// documented in platform/ui/README.md.
#pragma once

#include <cstdio>
#include <string>

namespace ui {

class Transcript {
public:
    Transcript() = default;
    ~Transcript();
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    // Opens the transcript file (host path); empty: standard output. When the
    // file cannot be created, says so on standard error and writes to
    // standard output instead. Returns false in that case.
    bool Open(const std::string& path);
    void Close();

    // Writes one line (UTF-8, without its line feed).
    void Line(const std::string& utf8);

    // A code page 932 text as a quoted UTF-8 text: "...", with \" \\ \n \r \t
    // and \xHH for other control characters.
    static std::string Quote(const std::string& cp932);

private:
    std::FILE* m_file = nullptr;
    bool m_own = false;
};

}  // namespace ui
