#include "win32/ResourceTable.h"

#include <map>
#include <memory>
#include <mutex>

namespace {

struct Strings {
    std::mutex lock;
    // Strings are held by pointer so that a returned text survives later
    // registrations of other ids.
    std::map<UINT, std::unique_ptr<std::string>> byId;
};

// Constructed on first use: registrations run from static constructors of
// other translation units, in no defined order.
Strings& TheStrings()
{
    static Strings strings;
    return strings;
}

struct Icons {
    std::mutex lock;
    std::map<UINT, const char* const*> byId;
};

Icons& TheIcons()
{
    static Icons icons;
    return icons;
}

}  // namespace

void ResourceTable::RegisterString(UINT id, const std::string& text)
{
    Strings& s = TheStrings();
    std::lock_guard<std::mutex> guard(s.lock);
    s.byId[id] = std::make_unique<std::string>(text);
}

const char* ResourceTable::FindString(UINT id)
{
    Strings& s = TheStrings();
    std::lock_guard<std::mutex> guard(s.lock);
    auto it = s.byId.find(id);
    return it == s.byId.end() ? nullptr : it->second->c_str();
}

void ResourceTable::RegisterIcon(UINT id, const char* const* xpm)
{
    Icons& i = TheIcons();
    std::lock_guard<std::mutex> guard(i.lock);
    i.byId[id] = xpm;
}

const char* const* ResourceTable::FindIcon(UINT id)
{
    Icons& i = TheIcons();
    std::lock_guard<std::mutex> guard(i.lock);
    auto it = i.byId.find(id);
    return it == i.byId.end() ? nullptr : it->second;
}
