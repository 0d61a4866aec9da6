// Selection of the window-system backend. Backends register a factory under a
// name; the platform configuration (PlatformConfig::Get().backend, variable
// ZELKOR_BACKEND) names the one to run, "script" by default.
//
// The script backend is always registered. A backend in a separate library
// (the FLTK one) registers itself from a function that the process entry
// calls when the build has it (see RegisterFltkBackend), so the platform code
// never depends on that library.
//
// When the configured backend is not registered, a message on standard error
// says so and the script backend runs instead. Without a script it has no
// input: every modal window is cancelled and the run ends as cancelled, with
// its transcript on standard output.
//
// The window functions (win32) reach the running backend through the display
// driver that ui installs (win::WindowDriver, forwarding each call to
// Current()): installed as the process starts and again whenever a backend
// starts, so a window shown or a message box asked for with no backend
// running starts the configured one.
#pragma once

#include "ui/Backend.h"

#include <memory>
#include <string>

namespace ui {

class Backends {
public:
    using Factory = std::unique_ptr<Backend> (*)();

    // Registers (or replaces) the factory of a backend.
    static void Register(const std::string& name, Factory factory);

    // The running backend; starts the configured one on first use.
    static Backend& Current();
    // Stops the running backend (if any) and starts the configured one.
    static Backend& Start();
    // Stops the running backend (flushes its output). The next Current()
    // starts the configured one again.
    static void Stop();
};

// Defined by the FLTK backend's library; registers it as "fltk". The process
// entry calls it when the build has that library (ZK_HAVE_FLTK).
void RegisterFltkBackend();

}  // namespace ui
