// The framework's application class. The program defines one global object
// of a class derived from it; constructing it registers it, and the process
// entry (AfxWinMain, called by the platform's main) fills in the command line
// and the program's paths and runs InitInstance and ExitInstance.
#pragma once

#include "mfc/CString.h"
#include "win32/WinTypes.h"

class CWnd;
struct AFX_MSGMAP;

class CWinApp {
public:
    explicit CWinApp(LPCTSTR appName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // The message map of the class; the application has no handlers of its own.
    virtual const AFX_MSGMAP* GetMessageMap() const { return nullptr; }
    // The program's start; TRUE to go on to Run.
    virtual BOOL InitInstance() { return TRUE; }
    // The process's result; called once, after InitInstance or at the end of Run.
    virtual int ExitInstance() { return 0; }
    // The run loop. There is no main window to keep it alive, so it ends at
    // once with ExitInstance's result.
    virtual int Run() { return ExitInstance(); }

    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();
    // Control containers need no preparation here.
    void EnableControlContainer() {}

    // Sets the command-line text (everything after the program's name).
    void SetCommandLine(const CString& commandLine);
    // Sets the program's Windows path; derives the executable's name (without
    // extension), the help-file path "<folder>\<name>.HLP" and, when the
    // constructor was given none, the application name.
    void SetProgramPath(const CString& programPath);

    LPTSTR m_lpCmdLine;          // never null
    LPCTSTR m_pszAppName;        // never null
    LPCTSTR m_pszExeName;        // never null
    LPCTSTR m_pszHelpFilePath;   // never null
    CString m_strProgramPath;    // the program's Windows path
    CWnd* m_pMainWnd = nullptr;  // the program has none

private:
    CString m_commandLine;
    CString m_appName;
    CString m_exeName;
    CString m_helpFilePath;
    bool m_appNameGiven = false;
    CWinApp* m_previous = nullptr;
};

// The application object (the latest one constructed and not yet destroyed).
CWinApp* AfxGetApp();
LPCTSTR AfxGetAppName();

// The command-line text of the host's arguments: argv[1] to argv[argc-1]
// joined with one blank each, converted from UTF-8 to code page 932 (an
// argument that is not UTF-8 is taken as code page 932 bytes already). The
// quoting of the original command line is not known on this host: arguments
// that a shell split at blanks come together again with one blank each.
CString AfxJoinCommandLine(int argc, char** argv);
// The Windows path of this process's executable; empty when no drive holds it.
CString AfxGetProgramPath();

// The process entry behind main: records the command line and the program's
// path on the application object, calls `startBackend` (when given), then
// InitInstance and, after TRUE, Run, or else ExitInstance at once. Returns
// the result of ExitInstance. An exception that escapes InitInstance or Run
// is reported on standard error and the application still gets its
// ExitInstance (so a caller it disabled is released); the result is then 3.
int AfxWinMain(int argc, char** argv, void (*startBackend)());
