// The host's termination signals as the console's control events: a thread
// of its own waits for SIGTERM, SIGINT and SIGHUP, runs the control handlers
// of SetConsoleCtrlHandler (Kernel.h) and ends the process by the signal. The
// process entry starts it before any other thread exists, so every thread
// keeps the signals blocked and only this one takes them: no handler runs
// inside the program's thread, and the program's thread may be anywhere (in
// a modal dialog, a long query of the store, a write) when the run is ended.
// platform/README.md, "Termination signals", describes the whole ending.
//
// Also at the start, the file-size signal (SIGXFSZ) is ignored for the whole
// process, so that every write past a file-size limit fails like one on a full
// disk (the transcript and standard error too), and none ends the process.
#pragma once

namespace win {

class ControlEvents {
public:
    // Once, at the process entry, before any other thread is started. A
    // termination signal that the process was started with ignored (nohup)
    // stays ignored.
    static void Start();

    // What the signal thread does with a signal, on the calling thread: the
    // handlers when the run's own ending has not begun (then true: the caller
    // ends the process by the signal), else nothing but remembering the
    // signal for EndAsSignalled (false). Tests call it directly.
    static bool HandleSignal(int signalNumber);
    // The control event of a termination signal.
    static unsigned long EventOfSignal(int signalNumber);

    // At the very end of the process entry: a termination signal that came
    // while the run's own ending ran ends the process now, by that signal.
    static void EndAsSignalled();
};

}  // namespace win
