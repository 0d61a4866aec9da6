#include "ui/script/ScriptBackend.h"

#include "ui/Input.h"
#include "win32/Mbcs.h"
#include "win32/PlatformConfig.h"
#include "win32/WindowRegistry.h"

#include <cstdio>
#include <fstream>
#include <sstream>

using win::WindowKind;
using win::WindowRegistry;
using win::WindowState;

namespace ui {

namespace {

// Caption lines written per window at most: a run that retitles its window a
// million times must not write a million lines.
constexpr int MaxCaptionLines = 2000;

std::string Hex(uint32_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", v);
    return buf;
}

const char* IconName(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return "error";
    case MB_ICONQUESTION: return "question";
    case MB_ICONEXCLAMATION: return "exclamation";
    case MB_ICONASTERISK: return "information";
    default: return "none";
    }
}

std::string ButtonList(const std::vector<int>& buttons)
{
    std::string s;
    for (int b : buttons) s += (s.empty() ? "" : ",") + std::string(Script::AnswerName(b));
    return s;
}

}  // namespace

std::unique_ptr<Backend> ScriptBackend::Create() { return std::make_unique<ScriptBackend>(); }

int ScriptBackend::CancellingAnswer(UINT type) { return MessageBoxRequest::CancellingAnswer(type); }

void ScriptBackend::Start()
{
    const PlatformConfig& config = PlatformConfig::Get();
    m_out.Open(config.transcriptPath);
    m_started = true;
    if (config.scriptPath.empty()) return;
    std::ifstream in(config.scriptPath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "zelkor: cannot read the script \"%s\"; every window waiting for input is cancelled\n",
                     config.scriptPath.c_str());
        m_out.Line("script-error cannot read " + Transcript::Quote(mbcs::Utf8ToCp932(config.scriptPath)));
        return;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<std::string> errors;
    m_script = Script::Parse(text.str(), errors);
    for (const std::string& e : errors) {
        std::fprintf(stderr, "zelkor: script \"%s\", %s (skipped)\n", config.scriptPath.c_str(), e.c_str());
        m_out.Line("script-error " + e);
    }
}

void ScriptBackend::Stop()
{
    if (!m_started) return;
    m_started = false;
    if (!m_script.Empty()) {
        m_out.Line("unused-actions " + std::to_string(m_script.Remaining()) + " from line " +
                   std::to_string(m_script.Next().line));
    }
    m_out.Close();
}

std::string ScriptBackend::WindowName(HWND window) const
{
    if (!window) return "none";
    if (WindowRegistry::IsForeign(window)) return "foreign:" + Hex(HwndToValue(window));
    HWND top = WindowRegistry::TopLevelOf(window);
    WindowState* w = WindowRegistry::Find(top);
    if (w && w->templateId) return "dialog:" + std::to_string(w->templateId);
    return "window:" + Hex(HwndToValue(top ? top : window));
}

std::string ScriptBackend::ControlLine(HWND control) const
{
    WindowState* w = WindowRegistry::Find(control);
    if (!w) return "";
    std::string s = std::to_string(w->id) + " " + w->className + " " + Transcript::Quote(w->text);
    if (!w->enabled) s += " disabled";
    if (!w->visible) s += " hidden";
    if (w->IsCheckable())
        s += w->check == BST_CHECKED ? " checked" : w->check == BST_INDETERMINATE ? " indeterminate" : " unchecked";
    // An edit shows its selection only while it has the focus.
    if (WindowRegistry::Focus() == control) {
        s += " focus";
        if (w->kind == WindowKind::Edit && w->selStart != w->selEnd)
            s += " sel=" + std::to_string(w->selStart) + "-" + std::to_string(w->selEnd);
    }
    if (!w->toolTip.empty()) s += " tooltip=" + Transcript::Quote(w->toolTip);
    if (w->kind == WindowKind::Progress)
        s += " pos=" + std::to_string(w->pos) + " range=" + std::to_string(w->low) + "-" + std::to_string(w->high);
    return s;
}

ScriptBackend::Snapshot ScriptBackend::Take(HWND window) const
{
    Snapshot snap;
    if (WindowState* w = WindowRegistry::Find(window))
        for (HWND c : w->children) snap[c] = ControlLine(c);
    return snap;
}

void ScriptBackend::WriteChanges(HWND window)
{
    auto it = m_shown.find(window);
    if (it == m_shown.end()) return;
    WindowState* w = WindowRegistry::Find(window);
    if (!w) return;
    for (HWND c : w->children) {
        std::string line = ControlLine(c);
        std::string& old = it->second[c];
        if (line != old) {
            m_out.Line("  changed " + line);
            old = line;
        }
    }
}

void ScriptBackend::WriteChanges()
{
    for (auto& [window, snap] : m_shown) WriteChanges(window);
}

void ScriptBackend::WindowShown(HWND window, bool shown)
{
    WindowState* w = WindowRegistry::Find(window);
    if (!w) return;
    if (shown) {
        m_out.Line("open " + WindowName(window) + (w->modal ? " modal" : " modeless") + " caption " +
                   Transcript::Quote(w->text));
        Snapshot snap = Take(window);
        for (HWND c : w->children) m_out.Line("  control " + snap[c]);
        m_shown[window] = std::move(snap);
        return;
    }
    if (!m_shown.count(window)) return;
    WriteChanges(window);
    m_shown.erase(window);
    // A modal dialog's end has its own line (DialogEnded).
    if (!w->modal) m_out.Line("hide " + WindowName(window));
}

void ScriptBackend::WindowDestroyed(HWND window)
{
    m_shown.erase(window);
    m_captionLines.erase(window);
}

void ScriptBackend::ControlChanged(HWND hwnd, Change what)
{
    // Everything but captions is written as changes after each action; only a
    // shown window's caption is written when it changes, with its bars.
    if (what != Change::Text) return;
    auto it = m_shown.find(hwnd);
    if (it == m_shown.end()) return;
    int& count = m_captionLines[hwnd];
    if (count > MaxCaptionLines) return;
    if (++count > MaxCaptionLines) {
        m_out.Line("caption " + WindowName(hwnd) + " (further caption changes are not written)");
        return;
    }
    WindowState* w = WindowRegistry::Find(hwnd);
    std::string line = "caption " + WindowName(hwnd) + " " + Transcript::Quote(w->text);
    for (HWND c : w->children) {
        WindowState* s = WindowRegistry::Find(c);
        if (s && s->kind == WindowKind::Progress) line += " " + std::to_string(s->id) + "=" + std::to_string(s->pos);
    }
    m_out.Line(line);
}

void ScriptBackend::NoActionLeft(const std::string& what, const std::string& fallback)
{
    std::string why = m_script.Empty() ? "the script has no action left"
                                       : "the next action (line " + std::to_string(m_script.Next().line) + ": " +
                                             m_script.Next().source + ") is not for it";
    std::fprintf(stderr, "zelkor: %s waits for input and %s; %s\n", what.c_str(), why.c_str(),
                 fallback.c_str());
    m_out.Line("no-action " + what + ": " + why + "; " + fallback);
}

void ScriptBackend::Apply(HWND dialog, const ScriptAction& a)
{
    Input::Outcome outcome = Input::Outcome::Done;
    switch (a.kind) {
    case ScriptAction::Kind::Type: outcome = Input::TypeInto(Input::Control(dialog, a.id), a.text); break;
    case ScriptAction::Kind::Chars: Input::TypeChars(a.text); break;
    case ScriptAction::Kind::Click: outcome = Input::Click(Input::Control(dialog, a.id)); break;
    case ScriptAction::Kind::Key: Input::Key(dialog, a.vk, a.modifiers); break;
    case ScriptAction::Kind::Close: outcome = Input::CloseBox(dialog); break;
    default: break;
    }
    switch (outcome) {
    case Input::Outcome::Done: break;
    case Input::Outcome::NoSuchControl: m_out.Line("  ignored: no control " + std::to_string(a.id)); break;
    case Input::Outcome::Disabled: m_out.Line("  ignored: control " + std::to_string(a.id) + " is disabled"); break;
    case Input::Outcome::Hidden: m_out.Line("  ignored: control " + std::to_string(a.id) + " is hidden"); break;
    case Input::Outcome::NoCloseBox: m_out.Line("  ignored: the window has no close box"); break;
    }
}

void ScriptBackend::RunModal(HWND dialog)
{
    Input::Pump();
    while (!Input::IsEnded(dialog)) {
        if (m_script.Empty() || !m_script.Next().IsForDialog()) {
            WindowState* w = WindowRegistry::Find(dialog);
            NoActionLeft(WindowName(dialog) + " " + Transcript::Quote(w ? w->text : ""), "sending the cancel command");
            Input::CancelCommand(dialog);
            if (!Input::IsEnded(dialog)) {
                m_out.Line("  the cancel command did not end it; ended with IDCANCEL");
                Input::ForceEnd(dialog);
            }
            break;
        }
        ScriptAction a = m_script.Take();
        m_out.Line("action " + std::to_string(a.line) + ": " + a.source);
        Apply(dialog, a);
        WriteChanges();
    }
}

int ScriptBackend::MessageBox(const MessageBoxRequest& request)
{
    WriteChanges();
    std::vector<int> buttons = MessageBoxRequest::ButtonsOf(request.type);
    std::string head = "message owner=" + WindowName(request.owner) + " caption=" + Transcript::Quote(request.caption) +
                       " icon=" + IconName(request.type) + " buttons=" + ButtonList(buttons);
    int answer = 0;
    if (!m_script.Empty() && m_script.Next().IsForMessageBox()) {
        ScriptAction a = m_script.Take();
        for (int b : buttons)
            if (b == a.answer) answer = b;
        if (!answer) {
            answer = CancellingAnswer(request.type);
            std::fprintf(stderr, "zelkor: script line %d: %s is not a button of the message box; answered %s\n", a.line,
                         Script::AnswerName(a.answer), Script::AnswerName(answer));
            m_out.Line("script-error line " + std::to_string(a.line) + ": " + Script::AnswerName(a.answer) +
                       " is not a button of the message box below");
        }
    } else {
        answer = CancellingAnswer(request.type);
        NoActionLeft("the message box " + Transcript::Quote(request.caption), "answering " +
                                                                                   std::string(Script::AnswerName(answer)));
    }
    m_out.Line(head + " text=" + Transcript::Quote(request.text) + " answer=" + Script::AnswerName(answer));
    return answer;
}

bool ScriptBackend::SaveBox(const SaveBoxRequest& request, std::string& chosenPath)
{
    WriteChanges();
    std::string filter;
    for (const auto& [name, pattern] : request.filters) filter += (filter.empty() ? "" : "|") + name + "|" + pattern;
    std::string line = std::string(request.forOpening ? "open-box" : "save-box") + " owner=" + WindowName(request.owner) + " title=" + Transcript::Quote(request.title) +
                       " folder=" + Transcript::Quote(request.initialDir) + " file=" +
                       Transcript::Quote(request.fileName) + " ext=" + Transcript::Quote(request.defaultExt) +
                       " filter=" + Transcript::Quote(filter);
    bool chosen = false;
    if (!m_script.Empty() && m_script.Next().IsForSaveBox()) {
        ScriptAction a = m_script.Take();
        if (a.kind == ScriptAction::Kind::Save) {
            chosenPath = a.text;
            chosen = true;
        }
    } else {
        NoActionLeft("the save box " + Transcript::Quote(request.title), "cancelling it");
    }
    m_out.Line(line + " answer=" + (chosen ? Transcript::Quote(chosenPath) : std::string("cancel")));
    return chosen;
}

void ScriptBackend::WaitCursor(bool on)
{
    if (on == m_waitCursor) return;
    m_waitCursor = on;
    m_out.Line(on ? "wait-cursor on" : "wait-cursor off");
}

void ScriptBackend::CallerEvent(uint32_t hwnd, const std::string& event, bool delivered)
{
    m_out.Line("caller " + WindowName(HwndFromValue(hwnd)) + " " + Transcript::Quote(event) +
               (delivered ? " delivered" : " recorded and dropped"));
}

void ScriptBackend::DialogEnded(HWND dialog, INT_PTR result)
{
    WriteChanges();
    m_out.Line("end " + WindowName(dialog) + " result=" + std::to_string(result));
}

}  // namespace ui
