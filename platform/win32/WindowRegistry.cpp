#include "win32/WindowRegistry.h"

#include "win32/WindowDriver.h"

#include <algorithm>
#include <unordered_map>

namespace win {

namespace {

struct Registry {
    std::unordered_map<uint32_t, std::unique_ptr<WindowState>> windows;
    std::vector<HWND> topLevel;  // in creation order
    uint32_t next = WindowRegistry::HandleBase + 0x10;
    HWND focus = nullptr;
    bool keys[256] = {};
    std::deque<MSG> queue;
    std::vector<HWND> modal;
    WindowHandler* nextHandler = nullptr;
};

Registry& R()
{
    static Registry registry;
    return registry;
}

}  // namespace

WindowState* WindowRegistry::Find(HWND hwnd)
{
    if (!hwnd) return nullptr;
    auto& windows = R().windows;
    auto it = windows.find(HwndToValue(hwnd));
    return it == windows.end() ? nullptr : it->second.get();
}

bool WindowRegistry::IsOwnHandle(HWND hwnd)
{
    uint32_t v = HwndToValue(hwnd);
    return v >= HandleBase && v < HandleLimit;
}

HWND WindowRegistry::Add(std::unique_ptr<WindowState> state)
{
    Registry& r = R();
    // Handles are never reused: a destroyed window's handle stays invalid.
    uint32_t value = r.next;
    r.next += 8;
    if (r.next >= HandleLimit) r.next = HandleBase + 0x10;
    HWND hwnd = HwndFromValue(value);
    state->hwnd = hwnd;
    if (r.nextHandler) {
        state->handler = r.nextHandler;
        r.nextHandler = nullptr;
    }
    WindowState* parent = Find(state->parent);
    if (parent && !state->IsTopLevel())
        parent->children.push_back(hwnd);
    else
        r.topLevel.push_back(hwnd);
    r.windows[value] = std::move(state);
    return hwnd;
}

void WindowRegistry::Remove(HWND hwnd)
{
    Registry& r = R();
    WindowState* w = Find(hwnd);
    if (!w) return;
    std::vector<HWND> children = w->children;
    for (HWND child : children) Remove(child);
    if (WindowState* parent = Find(w->parent)) {
        auto& c = parent->children;
        c.erase(std::remove(c.begin(), c.end(), hwnd), c.end());
        if (parent->lastFocus == hwnd) parent->lastFocus = nullptr;
    }
    r.topLevel.erase(std::remove(r.topLevel.begin(), r.topLevel.end(), hwnd), r.topLevel.end());
    r.modal.erase(std::remove(r.modal.begin(), r.modal.end(), hwnd), r.modal.end());
    if (r.focus == hwnd) r.focus = nullptr;
    DropMessagesFor(hwnd);
    r.windows.erase(HwndToValue(hwnd));
}

void WindowRegistry::HandlerForNextWindow(WindowHandler* handler) { R().nextHandler = handler; }

void WindowRegistry::SetToolTip(HWND hwnd, const std::string& text)
{
    WindowState* w = Find(hwnd);
    if (!w || w->toolTip == text) return;
    w->toolTip = text;
    Changed(hwnd, static_cast<int>(Change::ToolTip));
}

HWND WindowRegistry::TopLevelOf(HWND hwnd)
{
    WindowState* w = Find(hwnd);
    while (w && !w->IsTopLevel()) {
        WindowState* p = Find(w->parent);
        if (!p) break;
        w = p;
    }
    return w ? w->hwnd : nullptr;
}

bool WindowRegistry::IsDescendant(HWND ancestor, HWND hwnd)
{
    for (WindowState* w = Find(hwnd); w; w = w->IsTopLevel() ? nullptr : Find(w->parent))
        if (w->hwnd == ancestor) return true;
    return false;
}

HWND WindowRegistry::Focus() { return R().focus; }

void WindowRegistry::SetFocusRaw(HWND hwnd)
{
    Registry& r = R();
    HWND old = r.focus;
    if (old == hwnd) return;
    r.focus = hwnd;
    if (old && Find(old)) {
        Changed(old, static_cast<int>(Change::Focus));
        SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    }
    if (hwnd) {
        if (WindowState* top = Find(TopLevelOf(hwnd)); top && top->hwnd != hwnd) top->lastFocus = hwnd;
        Changed(hwnd, static_cast<int>(Change::Focus));
        SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
}

void WindowRegistry::SetKeyDown(int vk, bool down)
{
    if (vk >= 0 && vk < 256) R().keys[vk] = down;
}

bool WindowRegistry::IsKeyDown(int vk) { return vk >= 0 && vk < 256 && R().keys[vk]; }

void WindowRegistry::ReleaseAllKeys()
{
    for (bool& k : R().keys) k = false;
}

void WindowRegistry::Post(const MSG& msg) { R().queue.push_back(msg); }

bool WindowRegistry::TakeMessage(MSG& msg)
{
    auto& q = R().queue;
    if (q.empty()) return false;
    msg = q.front();
    q.pop_front();
    return true;
}

void WindowRegistry::DropMessagesFor(HWND hwnd)
{
    auto& q = R().queue;
    q.erase(std::remove_if(q.begin(), q.end(), [hwnd](const MSG& m) { return m.hwnd == hwnd; }), q.end());
}

void WindowRegistry::PushModal(HWND dialog) { R().modal.push_back(dialog); }

void WindowRegistry::PopModal(HWND dialog)
{
    auto& m = R().modal;
    auto it = std::find(m.rbegin(), m.rend(), dialog);
    if (it != m.rend()) m.erase(std::next(it).base());
}

HWND WindowRegistry::ActiveModal()
{
    auto& m = R().modal;
    return m.empty() ? nullptr : m.back();
}

void WindowRegistry::Changed(HWND hwnd, int change)
{
    WindowDriver::Current().ControlChanged(hwnd, static_cast<Change>(change));
}

}  // namespace win
