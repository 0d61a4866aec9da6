// A top-level framework window (a dialog) on the screen: its client area is
// laid out from the template's dialog units with the base units of the
// dialog's font, and holds one ControlView per child control.
//
// Input: a mouse press or key here becomes the framework's input event
// (ui::Input), never a change of the shown state by itself; the state shown
// follows the registry when the backend syncs it. Keys go with their Windows
// key code and Shift/Ctrl/Alt to the framework, which runs the dialog's
// PreTranslateMessage before its default handling (Tab, Esc, Enter, arrows,
// access keys); what the key typed follows as characters. Caret movement in
// an edit (Left, Right, Home, End, with Shift to select) and Delete, which
// the framework's edit leaves to the screen, are done here through the
// edit's own messages. The close box is the framework's close command.
//
// Whether a window takes input at all is the backend's decision (only the
// innermost modal window does); see FltkBackend.
#pragma once

#include "ui/fltk/ControlView.h"
#include "ui/fltk/DialogUnits.h"
#include "win32/WindowRegistry.h"

#include <FL/Fl_Double_Window.H>

#include <unordered_map>
#include <vector>

namespace ui {

class DialogWindow : public Fl_Double_Window {
public:
    // Builds the window and its controls from the registry's state of `hwnd`.
    explicit DialogWindow(HWND hwnd);

    // The view of a child control, or null.
    ControlView* ViewOf(HWND control) const;

    // Marks what changed; Sync brings the marked state to the screen.
    void MarkCaption() { m_captionDirty = m_dirty = true; }
    void MarkControl(ControlView* view)
    {
        view->dirty = true;
        m_dirty = true;
    }
    void Sync();
    // Tooltips of the controls: the control's own, else the tooltip manager's
    // table for this dialog.
    void SyncToolTips();

    // Where the window first appears: centred on the screen (DS_CENTER) or at
    // the template's position from the owner's client area or the screen.
    void Place(const DialogWindow* owner);

    int handle(int event) override;

    // Test hooks: the view under a window point that would take a click.
    ControlView* HitTest(int x, int y) const;

private:
    void KeyDown();
    void EditKey(ControlView* edit, int vk, int modifiers);
    void Press();
    void Drag();
    void Release();
    static void CloseBox(Fl_Widget* window, void*);

    HWND m_hwnd;
    DialogUnits::Base m_base;
    Fl_Font m_font;
    int m_fontSize;
    std::vector<ControlView*> m_views;  // in tab order
    std::unordered_map<HWND, ControlView*> m_byHwnd;
    std::string m_caption;              // UTF-8, as shown
    bool m_dirty = true;
    bool m_captionDirty = true;
    ControlView* m_pressed = nullptr;   // a button held down by the mouse
    ControlView* m_dragging = nullptr;  // an edit whose text the mouse selects
    int m_dragAnchor = 0;
};

}  // namespace ui
