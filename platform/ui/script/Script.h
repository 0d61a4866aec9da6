// A script of user actions for the script backend: one action a line, UTF-8.
// The format is documented in platform/ui/README.md.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace ui {

struct ScriptAction {
    enum class Kind {
        Type,    // type <id> <text>: select all of control <id> and type <text>
        Chars,   // chars <text>: type <text> at the focus
        Click,   // click <id>
        Key,     // key [SHIFT+][CTRL+][ALT+]<name>
        Close,   // close: the close box of the waiting dialog
        Answer,  // answer OK|CANCEL|YES|NO|ABORT|RETRY|IGNORE: the waiting message box
        Save,    // save <path>: the waiting save box takes <path>
        Cancel,  // cancel: the waiting save box is cancelled
    };
    Kind kind = Kind::Click;
    int line = 0;           // line number in the script
    std::string source;     // the line as written (UTF-8), for the transcript
    int id = 0;             // control id (Type, Click)
    std::string text;       // code page 932 (Type, Chars, Save)
    int vk = 0;             // virtual-key code (Key)
    int modifiers = 0;      // ui::Input::Modifier bits (Key)
    int answer = 0;         // IDOK, IDYES, ... (Answer)

    // Which waiting window an action is for.
    bool IsForDialog() const
    {
        return kind == Kind::Type || kind == Kind::Chars || kind == Kind::Click || kind == Kind::Key ||
               kind == Kind::Close;
    }
    bool IsForMessageBox() const { return kind == Kind::Answer; }
    bool IsForSaveBox() const { return kind == Kind::Save || kind == Kind::Cancel; }
};

class Script {
public:
    // Parses a script. Lines that are not actions are reported in `errors`
    // ("line N: ...") and skipped.
    static Script Parse(const std::string& utf8, std::vector<std::string>& errors);

    bool Empty() const { return m_actions.empty(); }
    const ScriptAction& Next() const { return m_actions.front(); }
    ScriptAction Take();
    size_t Remaining() const { return m_actions.size(); }

    // The virtual-key code of a key name ("RETURN", "F12", "NUMPAD1", "A"),
    // 0 when unknown.
    static int KeyCode(const std::string& name);
    // The button id of an answer name ("YES"), 0 when unknown.
    static int AnswerCode(const std::string& name);
    static const char* AnswerName(int id);

private:
    std::deque<ScriptAction> m_actions;
};

}  // namespace ui
