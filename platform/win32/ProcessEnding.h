// Who ends the process, the gate that holds the rest of the process once a
// termination signal has begun to end it, and the run's output as the ending
// finds it. platform/README.md, "Termination signals", describes the whole.
#pragma once

#include <string>

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

    // Passes the gate without an effect: on another thread than a signal's
    // ending, once that has begun, it never returns.
    static void Pass();

    // The run's own ending begins (the framework, before ExitInstance). When
    // a signal's ending began first, this never returns.
    static void BeginOwnEnding();
    // A signal's ending begins on the calling thread: it is known at once
    // (every other thread is held at its next effect), and this returns once
    // the effects under way have finished. False when an ending (either) has
    // begun already.
    static bool BeginSignalEnding();

    static State Current();
    // True on the thread that performs a signal's ending.
    static bool IsEndingThread();

    // The run's output file, as a signal's ending finds it. The program names
    // the file before it opens it (Expected); the file becomes the run's own
    // (Begun) only when this process has opened it for writing, in the same
    // step as the open (CFile::Open tells OutputOpened under the gate), and
    // is known from then on by its device and inode; once it is closed whole
    // the program marks it Complete. A file the run never opened (another
    // process's, another user's, the previous export before the open) is
    // never the run's.
    enum class Output { None, Expected, Begun, Complete, Removed, NotRemoved };
    // Each takes the gate: on another thread than a signal's ending, once
    // that has begun, they never return.
    static void ExpectOutput(const char* windowsPath);
    static void CompleteOutput();
    static void ForgetOutput();
    // Removes a begun output when the entry at its path still is that file
    // (Removed; NotRemoved when it is another file now or the host refuses);
    // any other state is returned unchanged. Delete first, then forget: a
    // signal between the two still finds the file the run's.
    static Output RemoveBegunOutput();
    static Output CurrentOutput();
    // The Windows path named by ExpectOutput ("" for none).
    static std::string OutputPath();
    // The file layer, inside the gate of an open for writing that created or
    // emptied the file at `hostPath` (descriptor `fd`): when it is the
    // expected output, it is the run's from now on.
    static void OutputOpened(const std::string& hostPath, int fd);

    // Tests only: back to Running, no ending thread, no output.
    static void ResetForTesting();
};

}  // namespace win
