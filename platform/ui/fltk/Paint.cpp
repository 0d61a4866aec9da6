#include "ui/fltk/Paint.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <string>
#include <vector>

namespace ui {

namespace {

constexpr int BoxSize = 13;  // radio circle and check box

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        size_t nl = text.find('\n', start);
        lines.push_back(text.substr(start, nl == std::string::npos ? std::string::npos : nl - start));
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    return lines;
}

int TextWidth(const TextEdge::Label& label)
{
    int w = 0;
    for (const std::string& line : Lines(label.text)) w = std::max(w, static_cast<int>(fl_width(line.c_str())));
    return w;
}

}  // namespace

Fl_Color Paint::Face() { return fl_rgb_color(212, 208, 200); }
Fl_Color Paint::Highlight() { return fl_rgb_color(10, 36, 106); }

void Paint::Label(const TextEdge::Label& label, int x, int y, int w, int h, HAlign align, bool vcenter, Fl_Color color)
{
    if (label.text.empty() || w <= 0 || h <= 0) return;
    fl_push_clip(x, y, w, h);
    fl_color(color);
    std::vector<std::string> lines = Lines(label.text);
    int lineH = fl_height();
    int total = lineH * static_cast<int>(lines.size());
    int top = vcenter ? y + (h - total) / 2 : y;
    size_t lineStart = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        int lw = static_cast<int>(fl_width(line.c_str()));
        int lx = align == HAlign::Left ? x : align == HAlign::Right ? x + w - lw : x + (w - lw) / 2;
        int base = top + static_cast<int>(i) * lineH + lineH - fl_descent();
        fl_draw(line.c_str(), static_cast<int>(line.size()), lx, base);
        if (label.underline >= 0 && static_cast<size_t>(label.underline) >= lineStart &&
            static_cast<size_t>(label.underline) < lineStart + line.size()) {
            size_t at = static_cast<size_t>(label.underline) - lineStart;
            std::vector<size_t> b = TextEdge::Boundaries(line.substr(at));
            int ux = lx + static_cast<int>(fl_width(line.c_str(), static_cast<int>(at)));
            int uw = static_cast<int>(fl_width(line.c_str() + at, static_cast<int>(b.size() > 1 ? b[1] : 1)));
            fl_line(ux, base + 1, ux + uw - 1, base + 1);
        }
        lineStart += line.size() + 1;
    }
    fl_pop_clip();
}

void Paint::DisabledLabel(const TextEdge::Label& label, int x, int y, int w, int h, HAlign align, bool vcenter)
{
    Label(label, x + 1, y + 1, w, h, align, vcenter, FL_WHITE);
    Label(label, x, y, w, h, align, vcenter, fl_rgb_color(128, 128, 128));
}

void Paint::FocusRect(int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0) return;
    fl_color(FL_BLACK);
    fl_line_style(FL_DOT, 1);
    fl_rect(x, y, w, h);
    fl_line_style(0);
}

void Paint::PushButton(int x, int y, int w, int h, const TextEdge::Label& label, bool enabled, bool pressed,
                       bool isDefault, bool focused)
{
    fl_color(Face());
    fl_rectf(x, y, w, h);
    int bx = x, by = y, bw = w, bh = h;
    if (isDefault || focused) {
        fl_color(FL_BLACK);
        fl_rect(x, y, w, h);
        bx += 1, by += 1, bw -= 2, bh -= 2;
    }
    if (pressed) {
        fl_color(fl_rgb_color(128, 128, 128));
        fl_rect(bx, by, bw, bh);
    } else {
        fl_draw_box(FL_UP_BOX, bx, by, bw, bh, Face());
    }
    int off = pressed ? 1 : 0;
    if (enabled)
        Label(label, bx + off, by + off, bw, bh, HAlign::Center, true, FL_BLACK);
    else
        DisabledLabel(label, bx, by, bw, bh, HAlign::Center, true);
    if (focused) FocusRect(bx + 3, by + 3, bw - 6, bh - 6);
}

void Paint::RadioButton(int x, int y, int w, int h, const TextEdge::Label& label, bool enabled, bool pressed,
                        bool checked, bool focused)
{
    fl_color(Face());
    fl_rectf(x, y, w, h);
    int d = std::min(BoxSize - 1, h);
    int cy = y + (h - d) / 2;
    fl_color(enabled && !pressed ? FL_WHITE : Face());
    fl_pie(x, cy, d, d, 0, 360);
    fl_color(fl_rgb_color(128, 128, 128));
    fl_arc(x, cy, d, d, 45, 225);
    fl_color(fl_rgb_color(64, 64, 64));
    fl_arc(x + 1, cy + 1, d - 2, d - 2, 45, 225);
    fl_color(FL_WHITE);
    fl_arc(x, cy, d, d, 225, 405);
    if (checked) {
        fl_color(enabled ? FL_BLACK : fl_rgb_color(128, 128, 128));
        fl_pie(x + 4, cy + 4, d - 8, d - 8, 0, 360);
    }
    LabelBesideBox(label, x + d + 4, x, y, w, h, enabled, focused);
}

// The label of a radio button or check box, right of its box at `tx`, with
// the focus rectangle around the text.
void Paint::LabelBesideBox(const TextEdge::Label& label, int tx, int x, int y, int w, int h, bool enabled,
                           bool focused)
{
    int tw = std::min(TextWidth(label), x + w - tx);
    if (enabled)
        Label(label, tx, y, x + w - tx, h, HAlign::Left, true, FL_BLACK);
    else
        DisabledLabel(label, tx, y, x + w - tx, h, HAlign::Left, true);
    if (focused) FocusRect(tx - 1, y + (h - fl_height()) / 2 - 1, tw + 2, fl_height() + 2);
}

void Paint::CheckBox(int x, int y, int w, int h, const TextEdge::Label& label, bool enabled, bool pressed,
                     unsigned check, bool focused)
{
    fl_color(Face());
    fl_rectf(x, y, w, h);
    int d = std::min(BoxSize, h);
    int cy = y + (h - d) / 2;
    fl_draw_box(FL_DOWN_BOX, x, cy, d, d, enabled && !pressed ? FL_WHITE : Face());
    if (check == 1 || check == 2) {
        fl_color(check == 2 || !enabled ? fl_rgb_color(128, 128, 128) : FL_BLACK);
        fl_line_style(FL_SOLID, 2);
        fl_line(x + 3, cy + d / 2, x + d / 2 - 1, cy + d - 4, x + d - 3, cy + 3);
        fl_line_style(0);
    }
    LabelBesideBox(label, x + d + 4, x, y, w, h, enabled, focused);
}

void Paint::GroupBox(int x, int y, int w, int h, const TextEdge::Label& label, bool enabled)
{
    int top = y + fl_height() / 2;
    int bh = h - (top - y);
    fl_color(fl_rgb_color(128, 128, 128));
    fl_rect(x, top, w - 1, bh - 1);
    fl_color(FL_WHITE);
    fl_rect(x + 1, top + 1, w - 1, bh - 1);
    if (label.text.empty()) return;
    int tx = x + 8;
    int tw = std::min(TextWidth(label), w - 16);
    fl_color(Face());
    fl_rectf(tx - 2, y, tw + 4, fl_height());
    if (enabled)
        Label(label, tx, y, tw + 1, fl_height(), HAlign::Left, false, FL_BLACK);
    else
        DisabledLabel(label, tx, y, tw + 1, fl_height(), HAlign::Left, false);
}

void Paint::ProgressBar(int x, int y, int w, int h, int low, int high, int pos, bool smooth)
{
    fl_draw_box(FL_THIN_DOWN_BOX, x, y, w, h, Face());
    int ix = x + 2, iy = y + 2, iw = w - 4, ih = h - 4;
    if (iw <= 0 || ih <= 0 || high == low) return;
    long long span = static_cast<long long>(high) - low;
    long long done = std::clamp<long long>(static_cast<long long>(pos) - low, 0, span);
    int fill = static_cast<int>(done * iw / span);
    fl_color(Highlight());
    if (smooth) {
        fl_rectf(ix, iy, fill, ih);
        return;
    }
    // Blocks two thirds as wide as the bar is high, two pixels apart; a
    // block is drawn as soon as the position reaches into it.
    int block = std::max(2, ih * 2 / 3);
    fl_push_clip(ix, iy, iw, ih);
    for (int bx = ix; bx < ix + fill; bx += block + 2) fl_rectf(bx, iy, block, ih);
    fl_pop_clip();
}

void Paint::MessageIcon(Icon icon, int x, int y, int size)
{
    if (icon == Icon::Blank) return;
    Fl_Font oldFont = fl_font();
    Fl_Fontsize oldSize = fl_size();
    const char* glyph = "i";
    if (icon == Icon::Exclamation) {
        fl_color(fl_rgb_color(250, 200, 0));
        fl_polygon(x + size / 2, y + 1, x + size - 1, y + size - 2, x, y + size - 2);
        fl_color(FL_BLACK);
        fl_loop(x + size / 2, y + 1, x + size - 1, y + size - 2, x, y + size - 2);
        glyph = "!";
    } else {
        Fl_Color c = icon == Icon::Error ? fl_rgb_color(200, 0, 0) : fl_rgb_color(0, 80, 200);
        fl_color(c);
        fl_pie(x, y, size, size, 0, 360);
        fl_color(FL_BLACK);
        fl_arc(x, y, size, size, 0, 360);
        glyph = icon == Icon::Error ? "X" : icon == Icon::Question ? "?" : "i";
    }
    fl_font(FL_HELVETICA_BOLD, size * 2 / 3);
    fl_color(icon == Icon::Exclamation ? FL_BLACK : FL_WHITE);
    int gy = icon == Icon::Exclamation ? y + size / 6 : y;
    fl_draw(glyph, x, gy, size, size, FL_ALIGN_CENTER, nullptr, 0);
    fl_font(oldFont, oldSize);
}

}  // namespace ui
