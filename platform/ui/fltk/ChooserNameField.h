// The name field of the toolkit's file chooser, made to show a file name as
// a save box's does. The toolkit keeps the whole host path there (the
// chooser's folder and the name: a long path, cut off at the field's edge)
// and takes a name without a folder as one in the process's current
// directory, not in the folder it shows. While the chooser is open, each of
// its controls is handed the whole path (the chooser's folder put before a
// bare name) when it acts, and the folder is taken off again afterwards
// while the chooser stays open; an accepted choice keeps the whole path.
#pragma once

#include <map>

class Fl_Input;
class Fl_File_Chooser;
class Fl_Widget;
class Fl_Window;

namespace ui {

class ChooserNameField {
public:
    ChooserNameField() = default;
    ChooserNameField(const ChooserNameField&) = delete;
    ChooserNameField& operator=(const ChooserNameField&) = delete;
    ~ChooserNameField() { Disarm(); }

    // Looks for the chooser from the toolkit's next loop turn on, and takes
    // its name field over once it is shown; Disarm gives the controls back.
    void Arm();
    void Disarm();

    // The name in the field's text `text` when the text is a path directly in
    // the chooser's host folder `folder` (no trailing '/' but for "/"): a
    // pointer into `text`; null for a text that lies elsewhere or no folder.
    static const char* BareName(const char* text, const char* folder);

private:
    struct Callback {
        void (*function)(Fl_Widget*, void*);
        void* data;
    };

    static void Tick(void* self);
    static void Relay(Fl_Widget* w, void* self);
    bool Attach(Fl_Window* window);
    void Wrap(Fl_Widget* w);
    void ShowWholePath();
    void ShowName();

    Fl_Window* m_window = nullptr;
    Fl_File_Chooser* m_chooser = nullptr;
    Fl_Input* m_field = nullptr;
    std::map<Fl_Widget*, Callback> m_callbacks;
};

}  // namespace ui
