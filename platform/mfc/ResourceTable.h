// The program's resources by number, as res/ registers them: the string table
// (and, from the window side, the dialog templates). Registration happens
// before the program's InitInstance runs; lookups never change the table.
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
};

// A static registration helper for res/: `static const ResourceString s(1, "...");`.
// Note that a translation unit in a static library is linked only when some
// symbol of it is referenced; res/ must make sure its table is.
struct ResourceString {
    ResourceString(UINT id, const char* text) { ResourceTable::RegisterString(id, text); }
};
