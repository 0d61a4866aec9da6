// Process entry of every deliverable: the framework's start of the program's
// application object (see AfxWinMain in WinApp.h). The command-line text is
// the host's arguments joined with one blank each.
#include "mfc/WinApp.h"

// Starts the window backend that the platform configuration names, before the
// program's InitInstance shows its first window. The backends need no start
// of their own yet; this is where one is brought up.
static void StartWindowBackend() {}

int main(int argc, char** argv)
{
    return AfxWinMain(argc, argv, &StartWindowBackend);
}
