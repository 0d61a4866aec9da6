#include "ui/WaitCursor.h"

#include <utility>

namespace {

struct State {
    int depth = 0;
    WaitCursor::Listener listener;
};

State& TheState()
{
    static State state;
    return state;
}

void Tell(bool on)
{
    // A copy, so that a listener may replace itself.
    WaitCursor::Listener listener = TheState().listener;
    if (listener) listener(on);
}

}  // namespace

void WaitCursor::Begin()
{
    if (++TheState().depth == 1) Tell(true);
}

void WaitCursor::End()
{
    State& s = TheState();
    if (s.depth == 0) return;
    if (--s.depth == 0) Tell(false);
}

void WaitCursor::Restore()
{
    if (TheState().depth > 0) Tell(true);
}

bool WaitCursor::IsOn() { return TheState().depth > 0; }
int WaitCursor::Depth() { return TheState().depth; }
void WaitCursor::SetListener(Listener listener) { TheState().listener = std::move(listener); }
void WaitCursor::Reset() { TheState().depth = 0; }
