#include "ui/fltk/KeyMap.h"

#include "ui/Input.h"
#include "win32/User.h"

#include <FL/Enumerations.H>

namespace ui {

namespace {

// Virtual keys of the punctuation keys, as on a US layout.
constexpr int VK_OEM_1 = 0xBA;       // ;:
constexpr int VK_OEM_PLUS = 0xBB;    // =+
constexpr int VK_OEM_COMMA = 0xBC;
constexpr int VK_OEM_MINUS = 0xBD;
constexpr int VK_OEM_PERIOD = 0xBE;
constexpr int VK_OEM_2 = 0xBF;       // /?
constexpr int VK_OEM_3 = 0xC0;       // `~
constexpr int VK_OEM_4 = 0xDB;       // [{
constexpr int VK_OEM_5 = 0xDC;       // \|
constexpr int VK_OEM_6 = 0xDD;       // ]}
constexpr int VK_OEM_7 = 0xDE;       // '"
constexpr int VK_INSERT = 0x2D;

}  // namespace

int KeyMap::VirtualKey(int k)
{
    if (k >= 'a' && k <= 'z') return k - 'a' + 'A';
    if (k >= 'A' && k <= 'Z') return k;
    if (k >= '0' && k <= '9') return k;
    if (k >= FL_KP + '0' && k <= FL_KP + '9') return VK_NUMPAD0 + (k - FL_KP - '0');
    if (k >= FL_F + 1 && k <= FL_F + 12) return VK_F1 + (k - FL_F - 1);
    switch (k) {
    case FL_Enter:
    case FL_KP_Enter: return VK_RETURN;
    case FL_Escape: return VK_ESCAPE;
    case FL_Tab: return VK_TAB;
    case FL_BackSpace: return VK_BACK;
    case FL_Delete: return VK_DELETE;
    case FL_Insert: return VK_INSERT;
    case FL_Home: return VK_HOME;
    case FL_End: return VK_END;
    case FL_Page_Up: return VK_PRIOR;
    case FL_Page_Down: return VK_NEXT;
    case FL_Left: return VK_LEFT;
    case FL_Right: return VK_RIGHT;
    case FL_Up: return VK_UP;
    case FL_Down: return VK_DOWN;
    case ' ': return VK_SPACE;
    case ';': return VK_OEM_1;
    case '=': return VK_OEM_PLUS;
    case ',': return VK_OEM_COMMA;
    case '-': return VK_OEM_MINUS;
    case '.': return VK_OEM_PERIOD;
    case '/': return VK_OEM_2;
    case '`': return VK_OEM_3;
    case '[': return VK_OEM_4;
    case '\\': return VK_OEM_5;
    case ']': return VK_OEM_6;
    case '\'': return VK_OEM_7;
    default: return 0;
    }
}

int KeyMap::Modifiers(int state)
{
    return ((state & FL_SHIFT) ? Input::Shift : 0) | ((state & FL_CTRL) ? Input::Ctrl : 0) |
           ((state & FL_ALT) ? Input::Alt : 0);
}

bool KeyMap::FrameworkTypes(int vk, int modifiers)
{
    if (modifiers & (Input::Ctrl | Input::Alt)) return false;
    bool shift = (modifiers & Input::Shift) != 0;
    if (vk >= 'A' && vk <= 'Z') return true;
    if (vk >= '0' && vk <= '9') return !shift;
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return true;
    return vk == VK_SPACE || vk == VK_BACK || vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_TAB;
}

}  // namespace ui
