// The real-window backend: shows the framework's dialogs, message boxes and
// the save-file box with FLTK 1.3 (Xft, IPA Gothic fonts), and turns a
// user's mouse and keyboard into the framework's input events.
//
// Loops: a modal dialog (RunModal) and a message box each run a loop of
// their own until the framework ends the dialog or a button is chosen. Only
// the innermost of them takes input; every other window of ours ignores
// clicks and keys meanwhile (as the system disables a modal window's owner),
// and so do all of them while the save box is open.
//
// Every window shows the application's icon: icon 128 of the resource table
// (the edition's), set as the toolkit's default icon when the backend starts.
//
// The save box is the toolkit's own file chooser (the desktop's in a desktop
// session without an idle limit). Its texts are Japanese and drawn with the
// Japanese Gothic: every style of the toolkit's default face (the chooser's
// labels are partly bold) is mapped to it. Its accept button reads 保存 (開く
// in an open box); each filter reads "description (pattern)" with the
// pattern once (TextEdge::FileFilter).
//
// Repaint (UpdateWindow) while the run keeps the thread: a run calls it for
// every tick of its bars, far more often than a screen can show, and a call
// that paints costs some microseconds. So a call paints when anything but a
// bar's position changed since the last paint (a caption, a text, a state:
// these change a few hundred times a run and mark where it is), and else at
// most once per frame (1/60 s, measured with the monotonic clock); calls in
// between cost a clock read. A run may go on working for seconds after its
// last call without one, and nothing paints later: what it last named is on
// the screen then, its bars as the last paint left them (at most a frame's
// ticks behind). Raise requests are
// applied at the same moments. Input that arrives meanwhile is dropped.
//
// Without a display (DISPLAY unset or unreachable) nothing is shown: this is
// said once on standard error, every dialog that waits for input gets the
// cancel command, every message box the answer that cancels it (its text goes
// to standard error), and the save box is cancelled; the run ends as
// cancelled.
//
// ZELKOR_FLTK_IDLE_LIMIT (seconds, default 0 = none): a window that waits for
// input and gets none for that long is treated as one without input (the
// same cancellation as above) so that an unattended run cannot hang.
#pragma once

#include "ui/Backend.h"

#include <FL/Enumerations.H>

#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

class Fl_Window;

namespace ui {

class DialogWindow;

class FltkBackend : public Backend {
public:
    static std::unique_ptr<Backend> Create();
    FltkBackend() = default;
    ~FltkBackend() override;

    const char* Name() const override { return "fltk"; }
    void Start() override;
    void Stop() override;

    void WindowShown(HWND window, bool shown) override;
    void WindowDestroyed(HWND window) override;
    void ControlChanged(HWND hwnd, Change what) override;
    void RunModal(HWND dialog) override;
    int MessageBox(const MessageBoxRequest& request) override;
    bool SaveBox(const SaveBoxRequest& request, std::string& chosenPath) override;
    void Repaint(HWND window) override;
    void Raise(HWND window) override;
    void WaitCursor(bool on) override;
    void CallerEvent(uint32_t hwnd, const std::string& event, bool delivered) override;

    // True when a display is open and windows are shown.
    bool HasDisplay() const { return m_display; }
    // Closes the process's display connection (before its server goes away;
    // tests). A later Start opens it again.
    static void CloseDisplay();
    // The window that shows a framework window, or null (tests).
    DialogWindow* WindowOf(HWND window) const;
    // Screen repaints done by Repaint so far (tests).
    long RepaintCount() const { return m_repaints; }

private:
    enum class Takes { Window, Nothing, Foreign };
    struct InputEntry {
        Takes takes;
        Fl_Window* window;
    };

    static int Dispatch(int event, Fl_Window* window);
    static void WatchSaveBox(void* self);
    bool AcceptsInput(Fl_Window* window) const;
    bool IdleExpired() const;
    void SyncAll();
    void ApplyCursor(DialogWindow* window);
    void NoInput(const std::string& what, const std::string& fallback);
    bool ChooseFile(const SaveBoxRequest& request, std::string& hostPath, bool& timedOut);

    bool m_started = false;
    bool m_display = false;
    double m_idleLimit = 0;
    double m_lastInput = 0;
    double m_lastRepaint = -1;
    bool m_unpainted = false;  // a change other than a bar's position since the last repaint
    long m_repaints = 0;
    bool m_wait = false;
    Fl_Font m_font = FL_HELVETICA;
    int m_fontSize = 12;
    std::unordered_map<HWND, DialogWindow*> m_windows;
    std::set<HWND> m_raise;
    std::vector<InputEntry> m_input;
};

}  // namespace ui
