// The wait cursor of the process: shown while at least one Begin is not yet
// matched by an End. The window backend registers a listener to show it; the
// state itself is kept here so that it is the same whatever backend runs.
#pragma once

#include <functional>

class WaitCursor {
public:
    // Called with true when the wait cursor appears, false when it goes, and
    // with the current state on Restore (after a dialog may have replaced it).
    using Listener = std::function<void(bool on)>;

    static void Begin();
    // One End per Begin; an End without a Begin is ignored.
    static void End();
    // Shows the wait cursor again when it should be on.
    static void Restore();

    static bool IsOn();
    static int Depth();
    // Replaces the listener (an empty one removes it).
    static void SetListener(Listener listener);
    // Back to no wait cursor, without telling the listener (tests).
    static void Reset();
};
