// One child control of a framework dialog on the screen. It keeps a copy of
// the control's state as the window registry holds it (Sync) and draws it in
// the classic desktop look: static texts aligned and vertically centred as
// their styles say, group boxes, push, radio and check buttons, edits that
// scroll to keep the caret in view, progress bars. It takes no input itself:
// the dialog window turns the user's clicks and keys into the framework's
// input events, and only then does the state shown here change.
#pragma once

#include "ui/fltk/TextEdge.h"
#include "win32/WindowRegistry.h"

#include <FL/Fl_Widget.H>

#include <string>

namespace ui {

class ControlView : public Fl_Widget {
public:
    ControlView(HWND hwnd, int x, int y, int w, int h, Fl_Font font, int size);

    HWND Hwnd() const { return m_hwnd; }
    win::WindowKind Kind() const { return m_kind; }

    // Takes the control's state from the registry and redraws when anything
    // shown changed. False when the control no longer exists.
    bool Sync();
    bool dirty = true;

    bool Enabled() const { return m_enabled; }
    // Whether a mouse press here is the control's: a visible button other
    // than a group box, an edit, a static text that notifies its parent.
    bool TakesClicks() const;
    // Push buttons and boxes draw as held down while the mouse holds them.
    void SetPressed(bool pressed);

    // Edits: the code page 932 offset in the text nearest to the window
    // x coordinate `ex` (a mouse press).
    int OffsetAt(int ex) const;
    // Edits: the selection as the user last moved it (anchor and caret, code
    // page 932 offsets); follows the framework when it sets another one.
    int Anchor() const { return m_anchor; }
    int Caret() const { return m_caret; }
    void SetSelection(int anchor, int caret);
    const std::string& TextCp932() const { return m_textCp932; }

    // Tooltip text (code page 932; empty: none).
    void SetToolTipText(const std::string& cp932);

    int handle(int event) override;

protected:
    void draw() override;

private:
    void DrawEdit();
    void ScrollToCaret();
    int TextX() const;  // window x of the text's first character

    HWND m_hwnd;
    Fl_Font m_font;
    int m_size;
    win::WindowKind m_kind = win::WindowKind::Static;
    DWORD m_style = 0;
    DWORD m_exStyle = 0;
    std::string m_textCp932;
    TextEdge::Label m_label;
    bool m_enabled = true;
    bool m_visible = true;
    bool m_focused = false;
    bool m_pressed = false;
    bool m_default = false;
    UINT m_check = 0;
    int m_selStart = 0, m_selEnd = 0;  // code page 932, as the registry has them
    int m_anchor = 0, m_caret = 0;     // code page 932
    int m_low = 0, m_high = 100, m_pos = 0;
    int m_scroll = 0;                  // edits: pixels of text scrolled out on the left
    std::string m_toolTip;             // UTF-8
};

}  // namespace ui
