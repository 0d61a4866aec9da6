// Process entry of every deliverable: the framework's start of the program's
// application object (see AfxWinMain in WinApp.h). The command-line text is
// the host's arguments joined with one blank each. A termination signal
// (SIGTERM, SIGINT, SIGHUP) ends the run as platform/README.md ("Termination
// signals") describes.
#include "mfc/WinApp.h"
#include "ui/Backends.h"
#include "win32/ControlEvents.h"

// Starts the window backend that the platform configuration names, before the
// program's InitInstance shows its first window. A backend in a library of
// its own registers itself first (the build links it only when it has it).
// The backend stops (and its transcript is complete) when the process ends.
static void StartWindowBackend()
{
#ifdef ZK_HAVE_FLTK
    ui::RegisterFltkBackend();
#endif
    ui::Backends::Start();
}

int main(int argc, char** argv)
{
    // First, while this is the only thread: the termination signals go to a
    // thread of their own, and the file-size signal is ignored.
    win::ControlEvents::Start();
    int result = AfxWinMain(argc, argv, &StartWindowBackend);
    ui::Backends::Stop();
    win::ControlEvents::EndAsSignalled();
    return result;
}
