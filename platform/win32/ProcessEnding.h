// Who ends the process, and the gate that keeps the rest of the process from
// changing anything outside it once a termination signal has begun to end it.
//
// A run ends in one of two ways: its own ending (the framework's ExitInstance,
// on the program's thread) or a termination signal's ending (the control
// handlers, on the signal thread, see ControlEvents.h). Exactly one of them
// happens: whichever begins first. The signal's ending then holds every other
// thread at its next effect: a write, the creation, removal or renaming of a
// file or folder, a datagram to a caller. An effect that is under way when the
// ending begins is finished first (the ending waits for it), so a file is never
// cut inside a write, and nothing the program's thread does afterwards reaches
// a file or a caller: the run writes no settings line and no second
// notification, and a file that the ending removes stays removed.
#pragma once

namespace win {

class ProcessEnding {
public:
    enum class State { Running, OwnEnding, SignalEnding };

    // Held around one effect outside the process. On the ending thread, or
    // before any ending, it passes; on another thread once a signal's ending
    // has begun it never returns (the process is ending). Nests.
    class Effect {
    public:
        Effect();
        ~Effect();
        Effect(const Effect&) = delete;
        Effect& operator=(const Effect&) = delete;

    private:
        bool m_held = false;
    };

    // The run's own ending begins (the framework, before ExitInstance). When
    // a signal's ending began first, this never returns.
    static void BeginOwnEnding();
    // A signal's ending begins on the calling thread, after every effect
    // under way has finished. False when an ending (either) has begun already.
    static bool BeginSignalEnding();

    static State Current();
    // True on the thread that performs a signal's ending.
    static bool IsEndingThread();

    // Tests only: back to Running, no ending thread.
    static void ResetForTesting();
};

}  // namespace win
