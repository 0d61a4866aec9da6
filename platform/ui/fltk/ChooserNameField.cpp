#include "ui/fltk/ChooserNameField.h"

#include <FL/Fl.H>
#include <FL/Fl_File_Browser.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_File_Input.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Window.H>

#include <algorithm>
#include <cstring>
#include <string>

namespace ui {

namespace {

template <class T>
T* FindIn(Fl_Widget* w)
{
    if (auto* found = dynamic_cast<T*>(w)) return found;
    if (Fl_Group* g = w->as_group())
        for (int i = 0; i < g->children(); ++i)
            if (T* found = FindIn<T>(g->child(i))) return found;
    return nullptr;
}

std::string FolderPrefix(const char* folder)
{
    return std::strcmp(folder, "/") == 0 ? std::string("/") : std::string(folder) + "/";
}

}  // namespace

const char* ChooserNameField::BareName(const char* text, const char* folder)
{
    if (!text || !folder || !*folder) return nullptr;
    const std::string prefix = FolderPrefix(folder);
    if (std::strncmp(text, prefix.c_str(), prefix.size()) != 0) return nullptr;
    const char* name = text + prefix.size();
    return std::strchr(name, '/') ? nullptr : name;
}

void ChooserNameField::Arm() { Fl::add_timeout(0.0, &ChooserNameField::Tick, this); }

void ChooserNameField::Disarm()
{
    Fl::remove_timeout(&ChooserNameField::Tick, this);
    for (auto& [widget, original] : m_callbacks) widget->callback(original.function, original.data);
    m_callbacks.clear();
    m_window = nullptr;
    m_chooser = nullptr;
    m_field = nullptr;
}

void ChooserNameField::Tick(void* data)
{
    auto* self = static_cast<ChooserNameField*>(data);
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        if (w->shown() && self->Attach(w)) return;
    // Not up yet (or the desktop's own chooser, which needs none of this).
    Fl::repeat_timeout(0.05, &ChooserNameField::Tick, data);
}

// The toolkit's chooser is the window with a file list and a file-name
// input; its window's user data is the chooser object (the toolkit's
// callbacks find it there too).
bool ChooserNameField::Attach(Fl_Window* window)
{
    auto* field = FindIn<Fl_File_Input>(window);
    if (!field || !FindIn<Fl_File_Browser>(window) || !window->user_data()) return false;
    m_window = window;
    m_chooser = static_cast<Fl_File_Chooser*>(window->user_data());
    m_field = field;
    for (int i = 0; i < window->children(); ++i) Wrap(window->child(i));
    ShowName();
    // The name selected, as the box opens with it.
    m_field->position(m_field->size(), 0);
    return true;
}

void ChooserNameField::Wrap(Fl_Widget* w)
{
    if (Fl_Group* g = w->as_group()) {
        for (int i = 0; i < g->children(); ++i) Wrap(g->child(i));
        return;
    }
    if (w->callback() == &Fl_Widget::default_callback) return;
    m_callbacks[w] = {w->callback(), w->user_data()};
    w->callback(&ChooserNameField::Relay, this);
}

void ChooserNameField::Relay(Fl_Widget* w, void* data)
{
    auto* self = static_cast<ChooserNameField*>(data);
    auto it = self->m_callbacks.find(w);
    if (it == self->m_callbacks.end()) return;
    const Callback original = it->second;
    self->ShowWholePath();
    original.function(w, original.data);
    // A choice that closed the chooser keeps its whole path for the caller.
    if (self->m_window && self->m_window->shown()) self->ShowName();
}

void ChooserNameField::ShowWholePath()
{
    const char* folder = m_chooser->directory();
    const char* text = m_field->value();
    if (!folder || !*folder || !text || !*text || text[0] == '/' || text[0] == '~' || text[0] == '$') return;
    const std::string prefix = FolderPrefix(folder);
    const int n = static_cast<int>(prefix.size());
    const int position = m_field->position(), mark = m_field->mark();
    m_field->value((prefix + text).c_str());
    m_field->position(position + n, mark + n);
}

void ChooserNameField::ShowName()
{
    const char* text = m_field->value();
    const char* name = BareName(text, m_chooser->directory());
    if (!name || name == text) return;
    const int n = static_cast<int>(name - text);
    const int position = std::max(0, m_field->position() - n), mark = std::max(0, m_field->mark() - n);
    const std::string bare = name;
    m_field->value(bare.c_str());
    m_field->position(position, mark);
}

}  // namespace ui
