#include "ui/script/Script.h"

#include "ui/Input.h"
#include "win32/Mbcs.h"
#include "win32/User.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace ui {

namespace {

std::string Upper(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

// A text argument: the rest of the line, or a double-quoted text with the
// escapes \" \\ \n \t.
bool TextArg(const std::string& rest, std::string& out)
{
    std::string t = Trim(rest);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"') {
        out.clear();
        for (size_t i = 1; i + 1 < t.size(); ++i) {
            char c = t[i];
            if (c == '\\' && i + 2 < t.size()) {
                char e = t[++i];
                out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
            } else {
                out += c;
            }
        }
        return true;
    }
    out = t;
    return true;
}

bool ParseId(const std::string& word, int& id)
{
    if (word.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(word.c_str(), &end, 0);
    if (*end) return false;
    id = static_cast<int>(v);
    return true;
}

}  // namespace

int Script::KeyCode(const std::string& name)
{
    std::string n = Upper(name);
    if (n.size() == 1 && ((n[0] >= 'A' && n[0] <= 'Z') || (n[0] >= '0' && n[0] <= '9'))) return n[0];
    struct Named {
        const char* name;
        int vk;
    };
    static const Named keys[] = {
        {"RETURN", VK_RETURN}, {"ENTER", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"ESC", VK_ESCAPE},
        {"TAB", VK_TAB},       {"SPACE", VK_SPACE},  {"BACK", VK_BACK},     {"BACKSPACE", VK_BACK},
        {"DELETE", VK_DELETE}, {"LEFT", VK_LEFT},    {"RIGHT", VK_RIGHT},   {"UP", VK_UP},
        {"DOWN", VK_DOWN},     {"HOME", VK_HOME},    {"END", VK_END},       {"PRIOR", VK_PRIOR},
        {"NEXT", VK_NEXT},
    };
    for (const auto& k : keys)
        if (n == k.name) return k.vk;
    if (n.size() >= 2 && n[0] == 'F') {
        int f = std::atoi(n.c_str() + 1);
        if (f >= 1 && f <= 24 && n == "F" + std::to_string(f)) return VK_F1 + f - 1;
    }
    if (n.size() == 7 && n.compare(0, 6, "NUMPAD") == 0 && n[6] >= '0' && n[6] <= '9') return VK_NUMPAD0 + n[6] - '0';
    return 0;
}

int Script::AnswerCode(const std::string& name)
{
    std::string n = Upper(name);
    if (n == "OK") return IDOK;
    if (n == "CANCEL") return IDCANCEL;
    if (n == "ABORT") return IDABORT;
    if (n == "RETRY") return IDRETRY;
    if (n == "IGNORE") return IDIGNORE;
    if (n == "YES") return IDYES;
    if (n == "NO") return IDNO;
    return 0;
}

const char* Script::AnswerName(int id)
{
    switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "CANCEL";
    case IDABORT: return "ABORT";
    case IDRETRY: return "RETRY";
    case IDIGNORE: return "IGNORE";
    case IDYES: return "YES";
    case IDNO: return "NO";
    default: return "?";
    }
}

ScriptAction Script::Take()
{
    ScriptAction a = m_actions.front();
    m_actions.pop_front();
    return a;
}

Script Script::Parse(const std::string& utf8, std::vector<std::string>& errors)
{
    Script script;
    std::istringstream in(utf8);
    std::string raw;
    int lineNo = 0;
    while (std::getline(in, raw)) {
        ++lineNo;
        if (lineNo == 1 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) raw.erase(0, 3);
        std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        size_t sp = line.find_first_of(" \t");
        std::string verb = Upper(line.substr(0, sp));
        std::string rest = sp == std::string::npos ? "" : Trim(line.substr(sp));
        auto fail = [&](const std::string& why) {
            errors.push_back("line " + std::to_string(lineNo) + ": " + why + ": " + line);
        };
        ScriptAction a;
        a.line = lineNo;
        a.source = line;
        bool ok = true;
        if (verb == "TYPE") {
            a.kind = ScriptAction::Kind::Type;
            size_t s2 = rest.find_first_of(" \t");
            std::string text;
            if (!ParseId(rest.substr(0, s2), a.id)) {
                fail("type needs a control id");
                ok = false;
            } else {
                TextArg(s2 == std::string::npos ? "" : rest.substr(s2), text);
                a.text = mbcs::Utf8ToCp932(text);
            }
        } else if (verb == "CHARS") {
            a.kind = ScriptAction::Kind::Chars;
            std::string text;
            TextArg(rest, text);
            a.text = mbcs::Utf8ToCp932(text);
        } else if (verb == "CLICK") {
            a.kind = ScriptAction::Kind::Click;
            if (!ParseId(rest, a.id)) {
                fail("click needs a control id");
                ok = false;
            }
        } else if (verb == "KEY") {
            a.kind = ScriptAction::Kind::Key;
            std::string spec = Upper(rest);
            for (;;) {
                size_t plus = spec.find('+');
                if (plus == std::string::npos || plus + 1 >= spec.size()) break;
                std::string mod = spec.substr(0, plus);
                if (mod == "SHIFT") a.modifiers |= Input::Shift;
                else if (mod == "CTRL" || mod == "CONTROL") a.modifiers |= Input::Ctrl;
                else if (mod == "ALT") a.modifiers |= Input::Alt;
                else break;
                spec = spec.substr(plus + 1);
            }
            a.vk = KeyCode(spec);
            if (!a.vk) {
                fail("unknown key");
                ok = false;
            }
        } else if (verb == "CLOSE" && rest.empty()) {
            a.kind = ScriptAction::Kind::Close;
        } else if (verb == "ANSWER") {
            a.kind = ScriptAction::Kind::Answer;
            a.answer = AnswerCode(rest);
            if (!a.answer) {
                fail("unknown answer");
                ok = false;
            }
        } else if (verb == "SAVE") {
            a.kind = ScriptAction::Kind::Save;
            std::string text;
            TextArg(rest, text);
            a.text = mbcs::Utf8ToCp932(text);
            if (a.text.empty()) {
                fail("save needs a path");
                ok = false;
            }
        } else if (verb == "CANCEL" && rest.empty()) {
            a.kind = ScriptAction::Kind::Cancel;
        } else {
            fail("unknown action");
            ok = false;
        }
        if (ok) script.m_actions.push_back(std::move(a));
    }
    return script;
}

}  // namespace ui
