// Looks into the toolkit's file chooser while it is open, from the GUI
// thread (a timeout of the toolkit, which the chooser's own loop runs): the
// texts it shows, and for each text whether the face it is drawn with has a
// glyph for every character. A face without one draws an empty box, which
// is what a user cannot read; the glyph lookup is the font library's own.
#pragma once

#include <mutex>
#include <string>
#include <vector>

class Fl_Input;
class Fl_Widget;
class Fl_Window;

class ChooserProbe {
public:
    bool found = false;
    bool lookupMissing = false;           // the font library's glyph lookup was not found
    std::vector<std::string> labels;      // every widget label of the box (UTF-8)
    std::vector<std::string> unreadable;  // "text [face n]": a text with a character its face lacks
    std::vector<std::string> filters;     // the items of the filter choice
    std::vector<std::string> menuItems;   // the items of its other menus (favourites)
    std::vector<std::string> files;       // the entries of the file list
    std::string okLabel;                  // the button that accepts the name
    std::string folder;                   // the host folder it shows

    ~ChooserProbe() { Disarm(); }

    // Starts looking: the first time a chooser is up, it is read once; its
    // name field is then followed while it stays up.
    void Arm();
    void Disarm();

    // True when `label` is one of the box's labels / menu items.
    bool HasLabel(const std::string& label) const;
    bool HasMenuItem(const std::string& item) const;

    // The name field's text now (its last one once the chooser is gone);
    // safe from any thread.
    std::string NameNow() const;

private:
    static void Tick(void* self);
    void Follow();
    static bool IsChooser(Fl_Widget* w);
    bool Legible(const std::string& utf8, int font, int size);
    void Check(const std::string& text, int font, int size);
    void Read(Fl_Widget* w);

    Fl_Window* window_ = nullptr;
    Fl_Input* field_ = nullptr;
    mutable std::mutex nameLock_;
    std::string nameNow_;
};
