#include "ui/fltk/DialogWindow.h"

#include "ui/Input.h"
#include "ui/fltk/KeyMap.h"
#include "ui/fltk/Paint.h"
#include "win32/Mbcs.h"

#include <FL/Fl.H>

#include <algorithm>
#include <string>

using win::WindowKind;
using win::WindowRegistry;
using win::WindowState;

namespace ui {

namespace {

// The start of the code page 932 character before byte `i`.
int PrevChar(const std::string& t, int i)
{
    int at = 0, prev = 0;
    while (at < i && at < static_cast<int>(t.size())) {
        prev = at;
        at += static_cast<int>(mbcs::CharLen(t, static_cast<size_t>(at)));
    }
    return prev;
}

int NextChar(const std::string& t, int i)
{
    if (i >= static_cast<int>(t.size())) return static_cast<int>(t.size());
    return i + static_cast<int>(mbcs::CharLen(t, static_cast<size_t>(i)));
}

}  // namespace

DialogWindow::DialogWindow(HWND hwnd) : Fl_Double_Window(1, 1), m_hwnd(hwnd)
{
    WindowState* w = WindowRegistry::Find(hwnd);
    std::string face = w ? w->fontName : std::string();
    m_font = DialogUnits::FontFor(face);
    m_fontSize = DialogUnits::PixelsOfPoints(w && w->fontSize ? w->fontSize : 9);
    m_base = DialogUnits::Measure(m_font, m_fontSize);
    color(Paint::Face());
    if (w) {
        size(std::max(1, DialogUnits::X(w->cx, m_base)), std::max(1, DialogUnits::Y(w->cy, m_base)));
        for (HWND c : w->children) {
            WindowState* s = WindowRegistry::Find(c);
            if (!s) continue;
            auto* view = new ControlView(c, DialogUnits::X(s->x, m_base), DialogUnits::Y(s->y, m_base),
                                         DialogUnits::X(s->cx, m_base), DialogUnits::Y(s->cy, m_base), m_font,
                                         m_fontSize);
            m_views.push_back(view);
            m_byHwnd[c] = view;
        }
        std::string cls = w->templateId ? "zelkor-dialog-" + std::to_string(w->templateId) : "zelkor-window";
        xclass(cls.c_str());
    }
    end();
    callback(&DialogWindow::CloseBox, this);
    Sync();
    SyncToolTips();
}

ControlView* DialogWindow::ViewOf(HWND control) const
{
    auto it = m_byHwnd.find(control);
    return it == m_byHwnd.end() ? nullptr : it->second;
}

void DialogWindow::Sync()
{
    if (!m_dirty) return;
    m_dirty = false;
    if (m_captionDirty) {
        m_captionDirty = false;
        if (WindowState* w = WindowRegistry::Find(m_hwnd)) {
            std::string caption = mbcs::Cp932ToUtf8(w->text);
            if (caption != m_caption) {
                m_caption = caption;
                copy_label(m_caption.c_str());
            }
        }
    }
    for (ControlView* v : m_views)
        if (v->dirty) v->Sync();
}

// The tooltip manager of a dialog sets its tips on the controls in the
// window registry, which is all a backend needs to know of it.
void DialogWindow::SyncToolTips()
{
    for (ControlView* v : m_views) {
        WindowState* s = WindowRegistry::Find(v->Hwnd());
        if (s) v->SetToolTipText(s->toolTip);
    }
}

void DialogWindow::Place(const DialogWindow* owner)
{
    WindowState* w = WindowRegistry::Find(m_hwnd);
    if (!w) return;
    if (w->style & DS_CENTER) {
        position((Fl::w() - this->w()) / 2, (Fl::h() - this->h()) / 2);
        return;
    }
    int ox = owner ? owner->x() : 0, oy = owner ? owner->y() : 0;
    position(ox + DialogUnits::X(w->x, m_base), oy + DialogUnits::Y(w->y, m_base));
}

ControlView* DialogWindow::HitTest(int x, int y) const
{
    // The first control in the template's order lies on top.
    for (ControlView* v : m_views)
        if (v->TakesClicks() && x >= v->x() && x < v->x() + v->w() && y >= v->y() && y < v->y() + v->h()) return v;
    return nullptr;
}

int DialogWindow::handle(int event)
{
    switch (event) {
    case FL_KEYBOARD:
    case FL_SHORTCUT: KeyDown(); return 1;
    case FL_KEYUP: return 1;
    case FL_PUSH: Press(); return 1;
    case FL_DRAG: Drag(); return 1;
    case FL_RELEASE: Release(); return 1;
    case FL_MOUSEWHEEL: return 1;
    case FL_FOCUS:
    case FL_UNFOCUS: return 1;
    default: return Fl_Double_Window::handle(event);
    }
}

void DialogWindow::KeyDown()
{
    int vk = KeyMap::VirtualKey(Fl::event_key());
    int modifiers = KeyMap::Modifiers(Fl::event_state());
    std::string text(Fl::event_text(), static_cast<size_t>(std::max(0, Fl::event_length())));
    HWND hwnd = m_hwnd;
    if (vk) {
        HWND before = GetFocus();
        Input::Key(hwnd, vk, modifiers);
        if (!WindowRegistry::Find(hwnd)) return;
        ControlView* focus = ViewOf(GetFocus());
        if (focus && focus->Kind() == WindowKind::Edit && focus->Hwnd() == before) EditKey(focus, vk, modifiers);
    }
    if (text.empty() || (modifiers & (Input::Ctrl | Input::Alt)) || KeyMap::FrameworkTypes(vk, modifiers)) return;
    unsigned char first = static_cast<unsigned char>(text[0]);
    if (first < 0x20 || first == 0x7F) return;
    if (!WindowRegistry::Find(hwnd) || !WindowRegistry::IsDescendant(hwnd, GetFocus())) return;
    Input::TypeChars(mbcs::Utf8ToCp932(text));
}

void DialogWindow::EditKey(ControlView* edit, int vk, int modifiers)
{
    if (modifiers & (Input::Ctrl | Input::Alt)) return;
    // Several keys may arrive between two syncs: start from the edit's state now.
    if (!edit->Sync()) return;
    const std::string& t = edit->TextCp932();
    int len = static_cast<int>(t.size());
    int anchor = edit->Anchor(), caret = edit->Caret();
    bool shift = (modifiers & Input::Shift) != 0;
    HWND h = edit->Hwnd();
    switch (vk) {
    case VK_LEFT: caret = (!shift && anchor != caret) ? std::min(anchor, caret) : PrevChar(t, caret); break;
    case VK_RIGHT: caret = (!shift && anchor != caret) ? std::max(anchor, caret) : NextChar(t, caret); break;
    case VK_HOME: caret = 0; break;
    case VK_END: caret = len; break;
    case VK_DELETE:
        // Delete removes the selection, or the character after the caret.
        if (anchor == caret) {
            if (caret >= len) return;
            SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(caret), NextChar(t, caret));
        }
        SendMessageA(h, WM_CHAR, VK_BACK, 1);
        return;
    default: return;
    }
    if (!shift) anchor = caret;
    SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(anchor), caret);
    edit->SetSelection(anchor, caret);
    edit->dirty = true;
    m_dirty = true;
}

void DialogWindow::Press()
{
    int ex = Fl::event_x(), ey = Fl::event_y();
    ControlView* v = HitTest(ex, ey);
    if (!v || !v->Enabled()) return;
    if (v->Kind() == WindowKind::Edit) {
        HWND h = v->Hwnd();
        if (Input::Click(h) != Input::Outcome::Done || GetFocus() != h || !v->Sync()) return;
        int pos = v->OffsetAt(ex);
        SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(pos), pos);
        v->SetSelection(pos, pos);
        MarkControl(v);
        m_dragging = v;
        m_dragAnchor = pos;
        return;
    }
    m_pressed = v;
    v->SetPressed(true);
}

void DialogWindow::Drag()
{
    if (m_dragging && WindowRegistry::Find(m_dragging->Hwnd())) {
        int pos = m_dragging->OffsetAt(Fl::event_x());
        SendMessageA(m_dragging->Hwnd(), EM_SETSEL, static_cast<WPARAM>(m_dragAnchor), pos);
        m_dragging->SetSelection(m_dragAnchor, pos);
        MarkControl(m_dragging);
    }
    if (m_pressed) m_pressed->SetPressed(Fl::event_inside(m_pressed) != 0);
}

void DialogWindow::Release()
{
    m_dragging = nullptr;
    ControlView* v = m_pressed;
    m_pressed = nullptr;
    if (!v) return;
    v->SetPressed(false);
    if (Fl::event_inside(v)) Input::Click(v->Hwnd());
}

void DialogWindow::CloseBox(Fl_Widget*, void* data)
{
    auto* self = static_cast<DialogWindow*>(data);
    Input::CloseBox(self->m_hwnd);
}

}  // namespace ui
