// The program's resources by number, as res/ registers them: the string table
// and the icons (and, from the window side, the dialog templates). Registration happens
// before the program's InitInstance runs; lookups never change the table.
// Kept with the window API (string and icon loading are the system's) so that
// the framework and the window backends both read it without depending on
// each other.
#pragma once

#include "win32/WinTypes.h"

#include <string>

class ResourceTable {
public:
    // Adds or replaces the string of `id` (code page 932 text).
    static void RegisterString(UINT id, const std::string& text);
    // The string of `id`, or null when none is registered. The pointer stays
    // valid until the string of that id is registered again.
    static const char* FindString(UINT id);

    // Adds or replaces the icon of `id`: an XPM image (the lines of its C
    // array). The data is not copied; it must live as long as the process
    // (static data of the program).
    static void RegisterIcon(UINT id, const char* const* xpm);
    // The XPM image of icon `id`, or null when none is registered.
    static const char* const* FindIcon(UINT id);
};

// A static registration helper for res/: `static const ResourceString s(1, "...");`.
// Note that a translation unit in a static library is linked only when some
// symbol of it is referenced; res/ must make sure its table is.
struct ResourceString {
    ResourceString(UINT id, const char* text) { ResourceTable::RegisterString(id, text); }
};

// The same for an icon: `static const ResourceIcon i(128, Name_xpm);`.
struct ResourceIcon {
    ResourceIcon(UINT id, const char* const* xpm) { ResourceTable::RegisterIcon(id, xpm); }
};
