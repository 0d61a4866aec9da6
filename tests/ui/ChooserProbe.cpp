#ifdef ZK_HAVE_FLTK

#include "ChooserProbe.h"

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_File_Browser.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_File_Input.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Menu_.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <dlfcn.h>

// The toolkit's current Xft font (set by fl_font), exported by the library
// and declared by its headers for the library's own use only.
extern void* fl_xftfont;

void ChooserProbe::Arm() { Fl::add_timeout(0.05, &ChooserProbe::Tick, this); }
void ChooserProbe::Disarm() { Fl::remove_timeout(&ChooserProbe::Tick, this); }

bool ChooserProbe::HasLabel(const std::string& label) const
{
    for (const std::string& l : labels)
        if (l == label) return true;
    return false;
}

bool ChooserProbe::HasMenuItem(const std::string& item) const
{
    for (const std::string& m : menuItems)
        if (m == item) return true;
    return false;
}

// The chooser: the window with a file list.
bool ChooserProbe::IsChooser(Fl_Widget* w)
{
    if (dynamic_cast<Fl_File_Browser*>(w)) return true;
    if (Fl_Group* g = w->as_group())
        for (int i = 0; i < g->children(); ++i)
            if (IsChooser(g->child(i))) return true;
    return false;
}

std::string ChooserProbe::NameNow() const
{
    std::lock_guard<std::mutex> lock(nameLock_);
    return nameNow_;
}

void ChooserProbe::Tick(void* data)
{
    auto* self = static_cast<ChooserProbe*>(data);
    if (self->found) {
        self->Follow();
        return;
    }
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) {
        if (!w->shown() || !IsChooser(w)) continue;
        self->window_ = w;
        self->Read(w);
        // The toolkit's chooser object is its window's user data.
        if (auto* chooser = static_cast<Fl_File_Chooser*>(w->user_data()))
            self->folder = chooser->directory() ? chooser->directory() : "";
        self->found = true;
        self->Follow();
        return;
    }
    Fl::repeat_timeout(0.05, &ChooserProbe::Tick, data);
}

// Reads the name field while the chooser's window is still one of the
// toolkit's shown windows (after that it may be gone).
void ChooserProbe::Follow()
{
    bool up = false;
    for (Fl_Window* w = Fl::first_window(); w && !up; w = Fl::next_window(w)) up = w == window_;
    if (!up || !field_) return;
    {
        std::lock_guard<std::mutex> lock(nameLock_);
        nameNow_ = field_->value() ? field_->value() : "";
    }
    Fl::repeat_timeout(0.05, &ChooserProbe::Tick, this);
}

// False when a character of `utf8` has no glyph in the face (or the lookup is
// missing). The font library (Xft) is loaded with the toolkit; its lookup is
// taken from the process, so that the test needs no link of its own.
bool ChooserProbe::Legible(const std::string& utf8, int font, int size)
{
    using CharExists = int (*)(Display*, void*, unsigned int);
    static auto exists = reinterpret_cast<CharExists>(dlsym(RTLD_DEFAULT, "XftCharExists"));
    if (!exists) {
        lookupMissing = true;
        return false;
    }
    fl_font(font, size);
    const char* p = utf8.c_str();
    const char* end = p + utf8.size();
    while (p < end) {
        int len = 0;
        unsigned ucs = fl_utf8decode(p, end, &len);
        if (len <= 0) len = 1;
        if (!exists(fl_display, fl_xftfont, ucs)) return false;
        p += len;
    }
    return true;
}

void ChooserProbe::Check(const std::string& text, int font, int size)
{
    if (!Legible(text, font, size)) unreadable.push_back(text + " [face " + std::to_string(font) + "]");
}

void ChooserProbe::Read(Fl_Widget* w)
{
    if (w->label() && *w->label() && w->labeltype() == FL_NORMAL_LABEL) {
        labels.push_back(w->label());
        Check(w->label(), w->labelfont(), w->labelsize());
    }
    if (auto* menu = dynamic_cast<Fl_Menu_*>(w)) {
        bool isFilter = dynamic_cast<Fl_Choice*>(w) != nullptr;
        for (int i = 0; i < menu->size(); ++i)
            if (const char* t = menu->text(i)) {
                (isFilter ? filters : menuItems).push_back(t);
                Check(t, menu->textfont(), menu->textsize());
            }
    }
    if (auto* list = dynamic_cast<Fl_File_Browser*>(w))
        for (int i = 1; i <= list->size(); ++i)
            if (list->text(i)) files.push_back(list->text(i));
    if (auto* ok = dynamic_cast<Fl_Return_Button*>(w)) okLabel = ok->label() ? ok->label() : "";
    if (auto* input = dynamic_cast<Fl_File_Input*>(w)) field_ = input;
    if (Fl_Group* group = w->as_group())
        for (int i = 0; i < group->children(); ++i) Read(group->child(i));
}

#endif  // ZK_HAVE_FLTK
