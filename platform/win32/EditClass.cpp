// The default procedure of the system's edit class: selection, replacing it
// within the text limit, typing (double-byte characters, backspace, ES_NUMBER).
#include "win32/ControlClasses.h"
#include "win32/Mbcs.h"

#include <algorithm>

using win::WindowState;

namespace {

using win::user::Changed;
using win::user::FitBytes;
using win::user::NotifyParent;
using win::user::SetText;

// Replaces the edit's selection with `text`, within the limit. False when
// nothing could be inserted of a non-empty text.
bool ReplaceSelection(WindowState* w, const std::string& insert, bool notify)
{
    int len = static_cast<int>(w->text.size());
    int a = std::clamp(std::min(w->selStart, w->selEnd), 0, len);
    int b = std::clamp(std::max(w->selStart, w->selEnd), 0, len);
    size_t room = w->limit > static_cast<UINT>(len - (b - a)) ? w->limit - static_cast<UINT>(len - (b - a)) : 0;
    std::string fitted = insert.substr(0, FitBytes(insert, room));
    std::string text = w->text.substr(0, a) + fitted + w->text.substr(b);
    int caret = a + static_cast<int>(fitted.size());
    bool selChanged = w->selStart != caret || w->selEnd != caret;
    w->selStart = w->selEnd = caret;
    if (text != w->text) {
        SetText(w, text);
        if (notify) NotifyParent(w, EN_CHANGE);
    } else if (selChanged) {
        Changed(w->hwnd, win::Change::Selection);
    }
    return insert.empty() || !fitted.empty();
}

// A character typed into an edit (WM_CHAR). A double-byte character arrives
// as its lead byte and then its trail byte.
LRESULT EditChar(WindowState* w, unsigned int ch)
{
    unsigned char c = static_cast<unsigned char>(ch & 0xFF);
    if (w->pendingLead) {
        std::string dbcs{static_cast<char>(w->pendingLead), static_cast<char>(c)};
        w->pendingLead = 0;
        if (w->style & ES_NUMBER) return 0;  // only digits may be typed
        ReplaceSelection(w, dbcs, true);
        return 0;
    }
    if (c == VK_BACK) {
        int len = static_cast<int>(w->text.size());
        int a = std::clamp(std::min(w->selStart, w->selEnd), 0, len);
        int b = std::clamp(std::max(w->selStart, w->selEnd), 0, len);
        if (a == b && a > 0) {
            // Delete the character before the caret, whole.
            size_t i = 0, prev = 0;
            while (i < static_cast<size_t>(a)) {
                prev = i;
                i += mbcs::CharLen(w->text, i);
            }
            a = static_cast<int>(prev);
        }
        w->selStart = a;
        w->selEnd = b;
        ReplaceSelection(w, "", true);
        return 0;
    }
    if (c < 0x20) return 0;
    if (mbcs::IsLeadByte(c)) {
        w->pendingLead = c;
        return 0;
    }
    if ((w->style & ES_NUMBER) && !(c >= '0' && c <= '9')) return 0;
    ReplaceSelection(w, std::string(1, static_cast<char>(c)), true);
    return 0;
}

}  // namespace

namespace win::user {

LRESULT EditProc(WindowState* w, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled)
{
    handled = true;
    int len = static_cast<int>(w->text.size());
    switch (msg) {
    case EM_GETSEL: {
        DWORD a = static_cast<DWORD>(std::min(w->selStart, w->selEnd));
        DWORD b = static_cast<DWORD>(std::max(w->selStart, w->selEnd));
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = a;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = b;
        return (a > 0xFFFF || b > 0xFFFF) ? -1 : static_cast<LRESULT>(MAKELONG(a, b));
    }
    case EM_SETSEL: {
        int a = static_cast<int>(static_cast<INT_PTR>(wParam));
        int b = static_cast<int>(lParam);
        if (a == -1) {
            // Removes the selection, the caret stays where the selection ended.
            a = b = std::max(w->selStart, w->selEnd);
        } else {
            if (b < 0 || b > len) b = len;
            if (a > len) a = len;
            if (a > b) std::swap(a, b);
        }
        if (w->selStart != a || w->selEnd != b) {
            w->selStart = a;
            w->selEnd = b;
            Changed(w->hwnd, win::Change::Selection);
        }
        return 0;
    }
    case EM_REPLACESEL: ReplaceSelection(w, lParam ? reinterpret_cast<LPCSTR>(lParam) : "", true); return 0;
    case EM_LIMITTEXT: w->limit = wParam == 0 ? 0x7FFFFFFEu : static_cast<UINT>(wParam); return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(w->limit);
    case EM_SCROLLCARET: return TRUE;
    case WM_CHAR: return EditChar(w, static_cast<unsigned int>(wParam));
    default: handled = false; return 0;
    }
}

}  // namespace win::user
