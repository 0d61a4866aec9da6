#include "mfc/WinApp.h"

#include "ui/WaitCursor.h"
#include "win32/DriveMap.h"
#include "win32/Mbcs.h"
#include "win32/PlatformConfig.h"
#include "win32/ProcessEnding.h"

#include <climits>
#include <cstdio>
#include <exception>
#include <string>
#include <unistd.h>

namespace {

CWinApp* g_app = nullptr;

}  // namespace

CWinApp::CWinApp(LPCTSTR appName)
    : m_appName(appName), m_appNameGiven(appName != nullptr && *appName != '\0'), m_previous(g_app)
{
    m_lpCmdLine = m_commandLine.GetBuffer(0);
    m_pszAppName = m_appName;
    m_pszExeName = m_exeName;
    m_pszHelpFilePath = m_helpFilePath;
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this) g_app = m_previous;
}

void CWinApp::BeginWaitCursor() { WaitCursor::Begin(); }
void CWinApp::EndWaitCursor() { WaitCursor::End(); }
void CWinApp::RestoreWaitCursor() { WaitCursor::Restore(); }

void CWinApp::SetCommandLine(const CString& commandLine)
{
    m_commandLine = commandLine;
    m_lpCmdLine = m_commandLine.GetBuffer(0);
}

void CWinApp::SetProgramPath(const CString& programPath)
{
    m_strProgramPath = programPath;
    int cut = programPath.ReverseFind('\\');
    CString folder = programPath.Left(cut + 1);  // with its backslash; empty without one
    CString file = programPath.Mid(cut + 1);
    int dot = file.ReverseFind('.');
    m_exeName = dot > 0 ? file.Left(dot) : file;
    m_helpFilePath = folder + m_exeName + ".HLP";
    if (!m_appNameGiven) m_appName = m_exeName;
    m_pszAppName = m_appName;
    m_pszExeName = m_exeName;
    m_pszHelpFilePath = m_helpFilePath;
}

CWinApp* AfxGetApp() { return g_app; }

LPCTSTR AfxGetAppName() { return g_app ? g_app->m_pszAppName : ""; }

CString AfxJoinCommandLine(int argc, char** argv)
{
    CString line;
    for (int i = 1; i < argc && argv[i]; ++i) {
        if (i > 1) line += ' ';
        bool ok = true;
        std::string text = mbcs::Utf8ToCp932(argv[i], &ok);
        line += ok ? text.c_str() : argv[i];
    }
    return line;
}

CString AfxGetProgramPath()
{
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return CString();
    return CString(DriveMap::ToWindowsPath(std::string(buf, static_cast<size_t>(n))));
}

int AfxWinMain(int argc, char** argv, void (*startBackend)())
{
    CWinApp* app = AfxGetApp();
    if (!app) {
        std::fprintf(stderr, "no application object\n");
        return 1;
    }
    app->SetCommandLine(AfxJoinCommandLine(argc, argv));
    CString program = AfxGetProgramPath();
    if (program.IsEmpty()) {
        // Without a drive for the program's folder only its name is known.
        char exe[PATH_MAX];
        const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
        std::string folder = n > 0 ? std::string(exe, static_cast<size_t>(n)) : std::string();
        folder = folder.substr(0, folder.find_last_of('/') + 1);
        const std::string& drives = PlatformConfig::Get().drives;
        std::fprintf(stderr,
                     "zelkor: the program's folder %s lies on no drive of the drive map (ZELKOR_DRIVES or DRIVES= in "
                     "zelkor.conf: \"%s\"; Z: maps / unless the map removes it), so the program has no Windows "
                     "path and its help-file path no folder\n",
                     folder.empty() ? "(unknown)" : folder.c_str(), drives.c_str());
        std::string name = argc > 0 && argv[0] ? argv[0] : "";
        program = CString(mbcs::Utf8ToCp932(name.substr(name.find_last_of('/') + 1)).c_str());
    }
    app->SetProgramPath(program);
    if (startBackend) startBackend();

    // The run's own ending begins before every ExitInstance (also the one Run
    // ends with, and after a failed or cancelled InitInstance): see
    // platform/README.md, "Termination signals".
    enum { initialising, running, exiting } stage = initialising;
    try {
        if (app->InitInstance()) {
            stage = running;  // Run ends with ExitInstance
            win::ProcessEnding::BeginOwnEnding();
            return app->Run();
        }
        stage = exiting;
        win::ProcessEnding::BeginOwnEnding();
        return app->ExitInstance();
    } catch (...) {
        std::fprintf(stderr, "the program stopped on an exception that nothing handled\n");
    }
    if (stage == initialising) {
        try {
            win::ProcessEnding::BeginOwnEnding();
            app->ExitInstance();
        } catch (...) {
            std::fprintf(stderr, "ExitInstance stopped on an exception as well\n");
        }
    }
    return 3;
}
