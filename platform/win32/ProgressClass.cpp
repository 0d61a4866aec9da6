// The default procedure of the system's progress bar class: range, position
// and step.
#include "win32/ControlClasses.h"

#include <algorithm>

using win::WindowState;

namespace {

using win::user::Changed;

int ClampPos(WindowState* w, long long pos)
{
    return static_cast<int>(std::clamp<long long>(pos, std::min(w->low, w->high), std::max(w->low, w->high)));
}

void SetProgress(WindowState* w, int low, int high, int pos, int step)
{
    if (w->low == low && w->high == high && w->pos == pos && w->step == step) return;
    w->low = low;
    w->high = high;
    w->pos = pos;
    w->step = step;
    Changed(w->hwnd, win::Change::Progress);
}

}  // namespace

namespace win::user {

LRESULT ProgressProc(WindowState* w, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled)
{
    handled = true;
    int old = w->pos;
    switch (msg) {
    case PBM_SETRANGE: {
        LRESULT prev = MAKELONG(w->low, w->high);
        int low = LOWORD(lParam), high = HIWORD(lParam);
        SetProgress(w, low, high, std::clamp(w->pos, std::min(low, high), std::max(low, high)), w->step);
        return prev;
    }
    case PBM_SETRANGE32: {
        LRESULT prev = MAKELONG(w->low, w->high);
        int low = static_cast<int>(static_cast<INT_PTR>(wParam)), high = static_cast<int>(lParam);
        SetProgress(w, low, high, std::clamp(w->pos, std::min(low, high), std::max(low, high)), w->step);
        return prev;
    }
    case PBM_GETRANGE:
        if (lParam) {
            auto* r = reinterpret_cast<PBRANGE*>(lParam);
            r->iLow = w->low;
            r->iHigh = w->high;
        }
        return wParam ? w->low : w->high;
    case PBM_SETPOS: SetProgress(w, w->low, w->high, ClampPos(w, static_cast<int>(wParam)), w->step); return old;
    case PBM_DELTAPOS:
        SetProgress(w, w->low, w->high, ClampPos(w, static_cast<long long>(w->pos) + static_cast<int>(wParam)),
                    w->step);
        return old;
    case PBM_SETSTEP: {
        int prev = w->step;
        SetProgress(w, w->low, w->high, w->pos, static_cast<int>(wParam));
        return prev;
    }
    case PBM_STEPIT: {
        // Stepping past the end starts over from the other end.
        long long pos = static_cast<long long>(w->pos) + w->step;
        long long lo = std::min(w->low, w->high), hi = std::max(w->low, w->high);
        if (hi > lo) {
            if (pos > hi) pos = lo + (pos - hi) % (hi - lo);
            if (pos < lo) pos = hi - (lo - pos) % (hi - lo);
        }
        SetProgress(w, w->low, w->high, ClampPos(w, pos), w->step);
        return old;
    }
    case PBM_GETPOS: return w->pos;
    default: handled = false; return 0;
    }
}

}  // namespace win::user
