// The headless, deterministic backend: applies a script of user actions
// (PlatformConfig scriptPath) to whatever window waits, and writes a
// transcript (PlatformConfig transcriptPath; standard output when empty) of
// what a user would have seen. See platform/ui/README.md for both formats.
//
// A waiting window takes the next action only when the action is meant for
// its kind (dialog actions, `answer` for a message box, `save`/`cancel` for
// the save box). When the script is used up, or its next action is for
// another kind of window, the waiting window has no action left: this is said
// on standard error and in the transcript, and the window is cancelled (a
// dialog gets the cancel command, a message box the answer that cancels, the
// save box is cancelled). The action, if any, stays for the next window.
#pragma once

#include "ui/Backend.h"
#include "ui/script/Script.h"
#include "ui/script/Transcript.h"

#include <map>
#include <memory>
#include <string>

namespace ui {

class ScriptBackend : public Backend {
public:
    static std::unique_ptr<Backend> Create();

    const char* Name() const override { return "script"; }
    void Start() override;
    void Stop() override;

    void WindowShown(HWND window, bool shown) override;
    void WindowDestroyed(HWND window) override;
    void ControlChanged(HWND hwnd, Change what) override;
    void RunModal(HWND dialog) override;
    int MessageBox(const MessageBoxRequest& request) override;
    bool SaveBox(const SaveBoxRequest& request, std::string& chosenPath) override;
    void WaitCursor(bool on) override;
    void CallerEvent(uint32_t hwnd, const std::string& event, bool delivered) override;
    void DialogEnded(HWND dialog, INT_PTR result) override;

    // The answer that cancels a message box of `type`: Cancel, else No, else
    // the only button (OK; Abort for Abort/Retry/Ignore).
    static int CancellingAnswer(UINT type);

private:
    using Snapshot = std::map<HWND, std::string>;  // control -> its transcript line

    std::string WindowName(HWND window) const;
    std::string ControlLine(HWND control) const;
    Snapshot Take(HWND window) const;
    void WriteChanges();  // changes of every shown window since its last snapshot
    void WriteChanges(HWND window);
    void NoActionLeft(const std::string& what, const std::string& fallback);
    void Apply(HWND dialog, const ScriptAction& action);

    Script m_script;
    Transcript m_out;
    std::map<HWND, Snapshot> m_shown;
    std::map<HWND, int> m_captionLines;
    bool m_waitCursor = false;
    bool m_started = false;
};

}  // namespace ui
