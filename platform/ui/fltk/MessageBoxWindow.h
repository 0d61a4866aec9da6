// The system's message box: caption, icon (error, question, exclamation,
// information), the text broken into lines that fit, and the buttons of the
// box's type in the system's order with the default button of the type's
// MB_DEFBUTTON bits. Keyboard: Enter chooses the focused button (at first
// the default one), Space too; Tab, Shift+Tab and the arrow keys move between
// the buttons; Esc and the close box answer Cancel when the box has a Cancel
// button, OK when OK is its only button, and do nothing otherwise; the
// access keys of the buttons (Y, N, A, R, I) choose them, with or without
// Alt. The box only shows and answers: the backend runs its loop.
#pragma once

#include "ui/Backend.h"
#include "ui/fltk/Paint.h"
#include "ui/fltk/TextEdge.h"

#include <FL/Fl_Double_Window.H>

#include <string>
#include <vector>

namespace ui {

class MessageBoxWindow : public Fl_Double_Window {
public:
    MessageBoxWindow(const MessageBoxRequest& request, Fl_Font font, int fontSize);

    // The button chosen, 0 while none is.
    int Answer() const { return m_answer; }
    // The answer of Esc and the close box; 0 when the box has none.
    int EscapeAnswer() const;
    void Choose(int id) { m_answer = id; }

    // The caption of a button, code page 932 ("OK", "キャンセル", "はい(&Y)" ...).
    static std::string ButtonText(int id);
    static Paint::Icon IconOf(UINT type);

    const std::vector<std::string>& Lines() const { return m_lines; }

    int handle(int event) override;

protected:
    void draw() override;

private:
    struct Button {
        int id;
        TextEdge::Label label;
        int x, y, w, h;
    };
    int ButtonAt(int x, int y) const;
    void Key();
    static void CloseBox(Fl_Widget*, void* data);

    Fl_Font m_font;
    int m_fontSize;
    Paint::Icon m_icon;
    UINT m_type;
    std::vector<std::string> m_lines;  // UTF-8
    std::vector<Button> m_buttons;
    size_t m_focus = 0;
    int m_pressed = -1;
    int m_answer = 0;
    int m_textX = 0, m_textY = 0, m_lineH = 0, m_iconX = 0, m_iconY = 0;
    std::string m_caption;
};

}  // namespace ui
