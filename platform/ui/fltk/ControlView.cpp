#include "ui/fltk/ControlView.h"

#include "ui/fltk/Paint.h"
#include "win32/Mbcs.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>

#ifndef SS_NOPREFIX
#define SS_NOPREFIX 0x00000080L
#endif

using win::WindowKind;
using win::WindowRegistry;
using win::WindowState;

namespace ui {

namespace {

constexpr int EditPad = 3;  // pixels between an edit's border and its text

bool IsDefaultButton(const WindowState& w)
{
    if (!w.IsPushButton()) return false;
    if (w.ButtonType() == BS_DEFPUSHBUTTON) return true;
    WindowState* dlg = WindowRegistry::Find(w.parent);
    return dlg && dlg->defId != 0 && dlg->defId == w.id;
}

}  // namespace

ControlView::ControlView(HWND hwnd, int x, int y, int w, int h, Fl_Font font, int size)
    : Fl_Widget(x, y, w, h), m_hwnd(hwnd), m_font(font), m_size(size)
{
    box(FL_NO_BOX);
    Sync();
}

bool ControlView::Sync()
{
    dirty = false;
    WindowState* w = WindowRegistry::Find(m_hwnd);
    if (!w) return false;
    bool changed = false;
    auto set = [&changed](auto& field, const auto& value) {
        if (field != value) {
            field = value;
            changed = true;
        }
    };
    set(m_kind, w->kind);
    set(m_style, w->style);
    set(m_exStyle, w->exStyle);
    if (m_textCp932 != w->text) {
        m_textCp932 = w->text;
        bool prefix = !(w->kind == WindowKind::Static && (w->style & SS_NOPREFIX)) && w->kind != WindowKind::Edit;
        m_label = prefix ? TextEdge::MakeLabel(w->text, true) : TextEdge::Label{mbcs::Cp932ToUtf8(w->text), -1};
        changed = true;
    }
    set(m_enabled, w->enabled);
    set(m_focused, WindowRegistry::Focus() == m_hwnd);
    set(m_check, w->check);
    set(m_default, IsDefaultButton(*w));
    set(m_low, w->low);
    set(m_high, w->high);
    set(m_pos, w->pos);
    if (w->kind == WindowKind::Edit) {
        int len = static_cast<int>(m_textCp932.size());
        int a = std::clamp(std::min(w->selStart, w->selEnd), 0, len);
        int b = std::clamp(std::max(w->selStart, w->selEnd), 0, len);
        if (a != m_selStart || b != m_selEnd) {
            m_selStart = a;
            m_selEnd = b;
            changed = true;
        }
        // The selection as the user moved it, unless the framework set another.
        if (std::min(m_anchor, m_caret) != a || std::max(m_anchor, m_caret) != b) {
            m_anchor = a;
            m_caret = b;
        }
    }
    if (w->visible != m_visible) {
        m_visible = w->visible;
        if (m_visible)
            show();
        else
            hide();
    }
    if (changed) {
        if (m_kind == WindowKind::Edit) ScrollToCaret();
        redraw();
    }
    return true;
}

void ControlView::SetToolTipText(const std::string& cp932)
{
    std::string utf8 = mbcs::Cp932ToUtf8(cp932);
    if (utf8 == m_toolTip) return;
    m_toolTip = utf8;
    copy_tooltip(m_toolTip.empty() ? nullptr : m_toolTip.c_str());
}

bool ControlView::TakesClicks() const
{
    if (!m_visible) return false;
    switch (m_kind) {
    case WindowKind::Button: return (m_style & BS_TYPEMASK) != BS_GROUPBOX;
    case WindowKind::Edit: return true;
    case WindowKind::Static: return (m_style & SS_NOTIFY) != 0;
    default: return false;
    }
}

void ControlView::SetPressed(bool pressed)
{
    if (m_pressed == pressed) return;
    m_pressed = pressed;
    redraw();
}

void ControlView::SetSelection(int anchor, int caret)
{
    m_anchor = anchor;
    m_caret = caret;
}

int ControlView::handle(int event)
{
    // Only the pointer's coming and going, for the tooltips.
    switch (event) {
    case FL_ENTER:
    case FL_MOVE:
    case FL_LEAVE: return (m_kind == WindowKind::Button && (m_style & BS_TYPEMASK) == BS_GROUPBOX) ? 0 : 1;
    default: return 0;
    }
}

int ControlView::TextX() const
{
    fl_font(m_font, m_size);
    int inner = w() - 2 * EditPad;
    int tw = static_cast<int>(fl_width(m_label.text.c_str()));
    int x0 = x() + EditPad;
    if (tw <= inner) {
        DWORD align = m_style & (ES_CENTER | ES_RIGHT);
        if (align == ES_RIGHT) return x0 + inner - tw;
        if (align == ES_CENTER) return x0 + (inner - tw) / 2;
        return x0;
    }
    return x0 - m_scroll;
}

void ControlView::ScrollToCaret()
{
    fl_font(m_font, m_size);
    int inner = w() - 2 * EditPad;
    const std::string& t = m_label.text;
    int tw = static_cast<int>(fl_width(t.c_str()));
    if (tw <= inner) {
        m_scroll = 0;
        return;
    }
    size_t caret = TextEdge::Utf8Offset(m_textCp932, static_cast<size_t>(m_caret));
    int cx = static_cast<int>(fl_width(t.c_str(), static_cast<int>(caret)));
    if (cx - m_scroll > inner - 1) m_scroll = cx - inner + 1;
    if (cx < m_scroll) m_scroll = cx;
    m_scroll = std::clamp(m_scroll, 0, tw - inner + 1);
}

int ControlView::OffsetAt(int ex) const
{
    fl_font(m_font, m_size);
    const std::string& t = m_label.text;
    int rel = ex - TextX();
    size_t best = 0;
    int bestDist = rel < 0 ? -rel : rel;
    for (size_t b : TextEdge::Boundaries(t)) {
        int d = static_cast<int>(fl_width(t.c_str(), static_cast<int>(b))) - rel;
        if (d < 0) d = -d;
        if (d < bestDist) {
            bestDist = d;
            best = b;
        }
    }
    return static_cast<int>(TextEdge::Cp932Offset(t, best));
}

void ControlView::DrawEdit()
{
    bool client = (m_exStyle & WS_EX_CLIENTEDGE) != 0;
    Fl_Color bg = m_enabled ? FL_WHITE : Paint::Face();
    if (client)
        fl_draw_box(FL_DOWN_BOX, x(), y(), w(), h(), bg);
    else if (m_style & WS_BORDER)
        fl_draw_box(FL_THIN_DOWN_BOX, x(), y(), w(), h(), bg);
    else {
        fl_color(bg);
        fl_rectf(x(), y(), w(), h());
    }
    fl_font(m_font, m_size);
    int ix = x() + 2, iy = y() + 2, iw = w() - 4, ih = h() - 4;
    fl_push_clip(ix, iy, iw, ih);
    const std::string& t = m_label.text;
    int tx = TextX();
    int base = y() + (h() - fl_height()) / 2 + fl_height() - fl_descent();
    size_t a = TextEdge::Utf8Offset(m_textCp932, static_cast<size_t>(m_selStart));
    size_t b = TextEdge::Utf8Offset(m_textCp932, static_cast<size_t>(m_selEnd));
    fl_color(m_enabled ? FL_BLACK : fl_rgb_color(128, 128, 128));
    fl_draw(t.c_str(), static_cast<int>(t.size()), tx, base);
    if (m_focused && a != b) {
        int sx = tx + static_cast<int>(fl_width(t.c_str(), static_cast<int>(a)));
        int sw = static_cast<int>(fl_width(t.c_str() + a, static_cast<int>(b - a)));
        fl_color(Paint::Highlight());
        fl_rectf(sx, base - fl_height() + fl_descent(), sw, fl_height());
        fl_color(FL_WHITE);
        fl_draw(t.c_str() + a, static_cast<int>(b - a), sx, base);
    }
    if (m_focused) {
        size_t c = TextEdge::Utf8Offset(m_textCp932, static_cast<size_t>(m_caret));
        int cx = tx + static_cast<int>(fl_width(t.c_str(), static_cast<int>(c)));
        fl_color(FL_BLACK);
        fl_line(cx, base - fl_height() + fl_descent(), cx, base);
    }
    fl_pop_clip();
}

void ControlView::draw()
{
    fl_font(m_font, m_size);
    switch (m_kind) {
    case WindowKind::Button:
        switch (m_style & BS_TYPEMASK) {
        case BS_GROUPBOX: Paint::GroupBox(x(), y(), w(), h(), m_label, m_enabled); break;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            Paint::RadioButton(x(), y(), w(), h(), m_label, m_enabled, m_pressed, m_check == BST_CHECKED, m_focused);
            break;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            Paint::CheckBox(x(), y(), w(), h(), m_label, m_enabled, m_pressed, m_check, m_focused);
            break;
        default:
            Paint::PushButton(x(), y(), w(), h(), m_label, m_enabled, m_pressed, m_default, m_focused);
            break;
        }
        break;
    case WindowKind::Edit: DrawEdit(); break;
    case WindowKind::Progress:
        Paint::ProgressBar(x(), y(), w(), h(), m_low, m_high, m_pos, (m_style & PBS_SMOOTH) != 0);
        break;
    case WindowKind::Static: {
        DWORD type = m_style & SS_TYPEMASK;
        if (type == SS_ICON || type == SS_BITMAP) break;  // a picture without an image
        int bx = x(), by = y(), bw = w(), bh = h();
        if ((m_style & (WS_BORDER | SS_SUNKEN)) || (m_exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE))) {
            fl_draw_box(FL_THIN_DOWN_BOX, bx, by, bw, bh, Paint::Face());
            bx += 2, by += 2, bw -= 4, bh -= 4;
        }
        Paint::HAlign align = type == SS_CENTER ? Paint::HAlign::Center
                              : type == SS_RIGHT ? Paint::HAlign::Right
                                                 : Paint::HAlign::Left;
        bool vcenter = (m_style & SS_CENTERIMAGE) != 0;
        if (m_enabled)
            Paint::Label(m_label, bx, by, bw, bh, align, vcenter, FL_BLACK);
        else
            Paint::DisabledLabel(m_label, bx, by, bw, bh, align, vcenter);
        break;
    }
    default: break;
    }
}

}  // namespace ui
