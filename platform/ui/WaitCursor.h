// The wait cursor of the process: shown while at least one Begin is not yet
// matched by an End. The framework's CWinApp::BeginWaitCursor and its kin
// drive it; ui::Backends registers the listener that shows it on the running
// backend. The state is kept here, beside the backends rather than in the
// framework, so that it is the same whatever backend runs and no backend
// needs the framework to know it.
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
