#include "ui/fltk/TextEdge.h"

#include "win32/Mbcs.h"

namespace ui {

namespace {

size_t Utf8CharLen(const std::string& s, size_t i)
{
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
    return i + n <= s.size() ? n : s.size() - i;
}

// The start of the code page 932 character that holds byte `offset`.
size_t Cp932CharStart(const std::string& s, size_t offset)
{
    if (offset >= s.size()) return s.size();
    size_t i = 0;
    while (i < offset) {
        size_t n = mbcs::CharLen(s, i);
        if (i + n > offset) return i;
        i += n;
    }
    return i;
}

std::string Pattern(const std::string& windowsPattern)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= windowsPattern.size()) {
        size_t semi = windowsPattern.find(';', start);
        if (semi == std::string::npos) semi = windowsPattern.size();
        std::string p = windowsPattern.substr(start, semi - start);
        size_t a = p.find_first_not_of(' '), b = p.find_last_not_of(' ');
        p = a == std::string::npos ? "" : p.substr(a, b - a + 1);
        if (p == "*.*") p = "*";
        if (!p.empty()) parts.push_back(p);
        start = semi + 1;
    }
    if (parts.empty()) return "*";
    if (parts.size() == 1) return parts[0];
    std::string joined = "{";
    for (size_t i = 0; i < parts.size(); ++i) joined += (i ? "," : "") + parts[i];
    return joined + "}";
}

// A pattern as a description shows it, compared without blanks, case or the
// choice of ',' or ';' between patterns.
std::string PatternKey(const std::string& pattern)
{
    std::string key;
    for (char c : pattern) {
        if (c == ' ') continue;
        if (c == ',') c = ';';
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        key += c;
    }
    return key;
}

// A filter's description as the chooser is given it (UTF-8). The chooser
// adds "(pattern)" to the name itself, so a description that already ends
// with its own pattern in parentheses loses that part; the chooser takes the
// pattern from the first parenthesis of the text, so parentheses left in the
// name become full-width ones. A blank separates the name from the pattern.
std::string ChooserName(const std::string& description, const std::string& windowsPattern,
                        const std::string& pattern)
{
    std::string desc = mbcs::Cp932ToUtf8(description);
    for (char& c : desc)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    size_t last = desc.find_last_not_of(' ');
    if (last != std::string::npos && desc[last] == ')') {
        size_t open = desc.rfind('(', last);
        if (open != std::string::npos) {
            std::string inner = PatternKey(desc.substr(open + 1, last - open - 1));
            if (inner == PatternKey(windowsPattern) || inner == PatternKey(pattern)) desc.erase(open);
        }
    }
    std::string name;
    for (char c : desc) {
        if (c == '(') name += "\xEF\xBC\x88";       // U+FF08 in UTF-8
        else if (c == ')') name += "\xEF\xBC\x89";  // U+FF09
        else if (c == '\\') name += "\\\\";  // the chooser's escape character
        else name += c;
    }
    if (!name.empty() && name.back() != ' ') name += ' ';
    return name;
}

}  // namespace

TextEdge::Label TextEdge::MakeLabel(const std::string& cp932, bool prefix)
{
    std::string plain;
    size_t mark = std::string::npos;
    for (size_t i = 0; i < cp932.size();) {
        size_t n = mbcs::CharLen(cp932, i);
        if (prefix && n == 1 && cp932[i] == '&' && i + 1 < cp932.size()) {
            if (cp932[i + 1] == '&') {
                plain += '&';
                i += 2;
                continue;
            }
            if (mark == std::string::npos) mark = plain.size();
            ++i;
            continue;
        }
        plain.append(cp932, i, n);
        i += n;
    }
    Label label;
    label.text = mbcs::Cp932ToUtf8(plain);
    if (mark != std::string::npos && mark < plain.size()) label.underline = static_cast<int>(Utf8Offset(plain, mark));
    return label;
}

size_t TextEdge::Utf8Offset(const std::string& cp932, size_t offset)
{
    return mbcs::Cp932ToUtf8(std::string_view(cp932).substr(0, Cp932CharStart(cp932, offset))).size();
}

size_t TextEdge::Cp932Offset(const std::string& utf8, size_t offset)
{
    size_t i = 0;
    while (i < utf8.size() && i < offset) {
        size_t n = Utf8CharLen(utf8, i);
        if (i + n > offset) break;
        i += n;
    }
    return mbcs::Utf8ToCp932(std::string_view(utf8).substr(0, i)).size();
}

std::vector<size_t> TextEdge::Boundaries(const std::string& utf8)
{
    std::vector<size_t> b{0};
    for (size_t i = 0; i < utf8.size();) {
        i += Utf8CharLen(utf8, i);
        b.push_back(i);
    }
    return b;
}

std::string TextEdge::FileFilter(const std::vector<std::pair<std::string, std::string>>& filters)
{
    std::string out;
    for (const auto& [name, pattern] : filters) {
        if (name.empty() && pattern.empty()) continue;
        std::string chooserPattern = Pattern(pattern);
        out += (out.empty() ? "" : "\n") + ChooserName(name, pattern, chooserPattern) + "\t" + chooserPattern;
    }
    return out;
}

bool TextEdge::HasWildcards(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

std::vector<std::string> TextEdge::Wrap(const std::string& utf8, double maxWidth,
                                        const std::function<double(const std::string&)>& width)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        size_t nl = utf8.find('\n', start);
        std::string line = utf8.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        while (width(line) > maxWidth) {
            std::vector<size_t> b = Boundaries(line);
            // The longest head that fits, at least one character.
            size_t cut = b[1];
            for (size_t k = 2; k < b.size() && width(line.substr(0, b[k])) <= maxWidth; ++k) cut = b[k];
            while (cut < line.size() && line[cut] == ' ') ++cut;
            if (cut >= line.size()) break;
            lines.push_back(line.substr(0, cut));
            line = line.substr(cut);
        }
        lines.push_back(line);
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    return lines;
}

}  // namespace ui
