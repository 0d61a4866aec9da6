// What a test reads back from a run of a deliverable: the message boxes of
// the transcript, the caller's notifications and the files on disk.
#pragma once

#include "RunHarness.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace e2e {

// The message boxes of a run, each as "<icon> <buttons> <answer>: <text>"
// with the text as the transcript quotes it; the caption of every one must
// be the run's.
inline std::vector<std::string> Messages(const RunResult& r)
{
    std::vector<std::string> out;
    for (const std::string& line : r.messages) {
        auto field = [&](const std::string& name) {
            const size_t at = line.find(" " + name + "=");
            if (at == std::string::npos) return std::string("?");
            const size_t from = at + name.size() + 2;
            size_t to = line.find(' ', from);
            if (line[from] == '"') {  // a quoted text: up to its closing quote
                to = from + 1;
                while (to < line.size() && line[to] != '"') to += (line[to] == '\\') ? 2 : 1;
                ++to;
            }
            return line.substr(from, to == std::string::npos ? std::string::npos : to - from);
        };
        out.push_back(field("icon") + " " + field("buttons") + " " + field("answer") + ": " + field("text"));
    }
    return out;
}

// The expected form of one message of Messages().
inline std::string Message(const std::string& icon, const std::string& buttons, const std::string& answer,
                           const std::string& cp932Text)
{
    return icon + " " + buttons + " " + answer + ": " + Quoted(cp932Text);
}

// The transcript without the control listings and progress captions, for
// failure reports.
inline std::string Brief(const RunResult& r)
{
    std::istringstream in(r.transcript);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("  ", 0) == 0 || line.rfind("caption ", 0) == 0) continue;
        out += line + "\n";
    }
    return out + r.stderrText;
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace e2e
