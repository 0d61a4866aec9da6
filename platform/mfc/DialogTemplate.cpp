#include "mfc/DialogTemplate.h"

#include <map>
#include <memory>
#include <mutex>

namespace {

struct Templates {
    std::mutex lock;
    std::map<UINT, std::unique_ptr<DialogTemplate>> byId;
};

// Constructed on first use: registrations run from static constructors.
Templates& TheTemplates()
{
    static Templates templates;
    return templates;
}

}  // namespace

DialogItem MakeDialogItem(int id, const char* className, const char* text, DWORD style, int x, int y, int cx, int cy,
                          DWORD exStyle)
{
    DialogItem item;
    item.id = id;
    item.className = className;
    item.text = text;
    item.style = style;
    item.exStyle = exStyle;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    return item;
}

void DialogTemplate::Register(const DialogTemplate& dialogTemplate)
{
    Templates& t = TheTemplates();
    std::lock_guard<std::mutex> guard(t.lock);
    t.byId[dialogTemplate.id] = std::make_unique<DialogTemplate>(dialogTemplate);
}

const DialogTemplate* DialogTemplate::Find(UINT id)
{
    Templates& t = TheTemplates();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.byId.find(id);
    return it == t.byId.end() ? nullptr : it->second.get();
}
