// The export run: InitInstance performs one export from the connection
// set-up to the closing message; ExitInstance closes the connection and
// notifies the caller. Each stage is one method and ends the run by
// returning 0 with m_nResultCode set.
#include "app/ShohizeiLinkApp.h"

#include <cstring>

BOOL CShohizeiLinkApp::InitInstance()
{
    EnableControlContainer();
    return RunExport();
}

BOOL CShohizeiLinkApp::RunExport()
{
    if (!PrepareConnection()) {
        return FALSE;  // nothing recorded, nothing shown
    }
    if (ParseCallerArgs(m_lpCmdLine) == 1) {
        RecordCaller();
    }
    EnterProgramFolder();
    if (!CheckProgramLevel()) {
        m_nResultCode = RESULT_ERROR;
        return FALSE;
    }
    return FALSE;
}

int CShohizeiLinkApp::PrepareConnection()
{
    return 1;
}

void CShohizeiLinkApp::RecordCaller()
{
    m_bLaunchedByCaller = 1;
}

// The program's folder becomes the current directory: the help-file path lies
// in it, so the folder is that path up to its last backslash.
void CShohizeiLinkApp::EnterProgramFolder()
{
    std::string folder(m_pszHelpFilePath);
    const size_t last = mbcs::FindLastChar(folder, '\\');
    if (last == std::string::npos) {
        return;
    }
    folder.resize(last + 1);
    SetCurrentDirectoryA(folder.c_str());
}

int CShohizeiLinkApp::CheckProgramLevel()
{
    return 1;
}


int CShohizeiLinkApp::ExitInstance()
{
    ReleaseRunBuffers();
    return CWinApp::ExitInstance();
}
