#include "ui/fltk/MessageBoxWindow.h"

#include "ui/Input.h"
#include "ui/fltk/KeyMap.h"
#include "win32/User.h"
#include "win32/Mbcs.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cctype>

namespace ui {

namespace {

constexpr int Margin = 11;
constexpr int IconSize = 32;
constexpr int IconGap = 15;
constexpr int ButtonW = 75;
constexpr int ButtonH = 23;
constexpr int ButtonGap = 6;

int Mnemonic(const TextEdge::Label& label)
{
    if (label.underline < 0 || static_cast<size_t>(label.underline) >= label.text.size()) return 0;
    return std::toupper(static_cast<unsigned char>(label.text[static_cast<size_t>(label.underline)]));
}

}  // namespace

std::string MessageBoxWindow::ButtonText(int id)
{
    switch (id) {
    case IDCANCEL: return "キャンセル";
    case IDABORT: return "中止(&A)";
    case IDRETRY: return "再試行(&R)";
    case IDIGNORE: return "無視(&I)";
    case IDYES: return "はい(&Y)";
    case IDNO: return "いいえ(&N)";
    default: return "OK";
    }
}

Paint::Icon MessageBoxWindow::IconOf(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return Paint::Icon::Error;
    case MB_ICONQUESTION: return Paint::Icon::Question;
    case MB_ICONEXCLAMATION: return Paint::Icon::Exclamation;
    case MB_ICONASTERISK: return Paint::Icon::Information;
    default: return Paint::Icon::Blank;
    }
}

MessageBoxWindow::MessageBoxWindow(const MessageBoxRequest& request, Fl_Font font, int fontSize)
    : Fl_Double_Window(1, 1), m_font(font), m_fontSize(fontSize), m_icon(IconOf(request.type)), m_type(request.type)
{
    end();
    m_caption = mbcs::Cp932ToUtf8(request.caption);
    copy_label(m_caption.c_str());
    xclass("zelkor-message");
    color(Paint::Face());

    fl_font(m_font, m_fontSize);
    m_lineH = fl_height();
    int maxText = std::clamp(Fl::w() * 3 / 8, 280, 560);
    m_lines = TextEdge::Wrap(mbcs::Cp932ToUtf8(request.text), maxText,
                             [](const std::string& s) { return fl_width(s.c_str(), static_cast<int>(s.size())); });
    int textW = 0;
    for (const std::string& l : m_lines) textW = std::max(textW, static_cast<int>(fl_width(l.c_str())));
    int textH = m_lineH * static_cast<int>(m_lines.size());

    int left = Margin;
    if (m_icon != Paint::Icon::Blank) {
        m_iconX = Margin;
        left = Margin + IconSize + IconGap;
    }
    int contentH = std::max(textH, m_icon != Paint::Icon::Blank ? IconSize : 0);
    m_iconY = Margin + (contentH - IconSize) / 2;
    m_textX = left;
    m_textY = Margin + (contentH - textH) / 2;

    std::vector<int> ids = MessageBoxRequest::ButtonsOf(request.type);
    int total = 0;
    for (int id : ids) {
        Button b{id, TextEdge::MakeLabel(ButtonText(id)), 0, 0, 0, ButtonH};
        b.w = std::max(ButtonW, static_cast<int>(fl_width(b.label.text.c_str())) + 16);
        total += b.w;
        m_buttons.push_back(b);
    }
    total += ButtonGap * static_cast<int>(ids.size() - 1);
    int width = std::max(left + textW + Margin, total + 2 * Margin);
    int by = Margin + contentH + 14;
    int bx = (width - total) / 2;
    for (Button& b : m_buttons) {
        b.x = bx;
        b.y = by;
        bx += b.w + ButtonGap;
    }
    size(width, by + ButtonH + Margin);
    size_t def = (request.type & MB_DEFMASK) >> 8;
    m_focus = def < m_buttons.size() ? def : 0;
    callback(&MessageBoxWindow::CloseBox, this);
}

int MessageBoxWindow::EscapeAnswer() const
{
    for (const Button& b : m_buttons)
        if (b.id == IDCANCEL) return IDCANCEL;
    return m_buttons.size() == 1 && m_buttons[0].id == IDOK ? IDOK : 0;
}

int MessageBoxWindow::ButtonAt(int x, int y) const
{
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        const Button& b = m_buttons[i];
        if (x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h) return static_cast<int>(i);
    }
    return -1;
}

void MessageBoxWindow::draw()
{
    fl_color(Paint::Face());
    fl_rectf(0, 0, w(), h());
    Paint::MessageIcon(m_icon, m_iconX, m_iconY, IconSize);
    fl_font(m_font, m_fontSize);
    fl_color(FL_BLACK);
    for (size_t i = 0; i < m_lines.size(); ++i) {
        int base = m_textY + static_cast<int>(i) * m_lineH + m_lineH - fl_descent();
        fl_draw(m_lines[i].c_str(), static_cast<int>(m_lines[i].size()), m_textX, base);
    }
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        const Button& b = m_buttons[i];
        Paint::PushButton(b.x, b.y, b.w, b.h, b.label, true, m_pressed == static_cast<int>(i), i == m_focus,
                          i == m_focus);
    }
}

void MessageBoxWindow::Key()
{
    int vk = KeyMap::VirtualKey(Fl::event_key());
    int modifiers = KeyMap::Modifiers(Fl::event_state());
    size_t n = m_buttons.size();
    switch (vk) {
    case VK_RETURN:
    case VK_SPACE: m_answer = m_buttons[m_focus].id; return;
    case VK_ESCAPE:
        if (int a = EscapeAnswer()) m_answer = a;
        return;
    case VK_TAB: m_focus = (modifiers & Input::Shift) ? (m_focus + n - 1) % n : (m_focus + 1) % n; break;
    case VK_LEFT:
    case VK_UP: m_focus = (m_focus + n - 1) % n; break;
    case VK_RIGHT:
    case VK_DOWN: m_focus = (m_focus + 1) % n; break;
    default:
        if (vk >= 'A' && vk <= 'Z' && !(modifiers & Input::Ctrl)) {
            for (const Button& b : m_buttons)
                if (Mnemonic(b.label) == vk) m_answer = b.id;
        }
        return;
    }
    redraw();
}

int MessageBoxWindow::handle(int event)
{
    switch (event) {
    case FL_KEYBOARD:
    case FL_SHORTCUT: Key(); return 1;
    case FL_KEYUP:
    case FL_FOCUS:
    case FL_UNFOCUS:
    case FL_MOUSEWHEEL: return 1;
    case FL_PUSH:
        m_pressed = ButtonAt(Fl::event_x(), Fl::event_y());
        if (m_pressed >= 0) m_focus = static_cast<size_t>(m_pressed);
        redraw();
        return 1;
    case FL_DRAG: return 1;
    case FL_RELEASE: {
        int at = ButtonAt(Fl::event_x(), Fl::event_y());
        if (at >= 0 && at == m_pressed) m_answer = m_buttons[static_cast<size_t>(at)].id;
        m_pressed = -1;
        redraw();
        return 1;
    }
    default: return Fl_Double_Window::handle(event);
    }
}

void MessageBoxWindow::CloseBox(Fl_Widget*, void* data)
{
    auto* self = static_cast<MessageBoxWindow*>(data);
    if (int a = self->EscapeAnswer()) self->m_answer = a;
}

}  // namespace ui
