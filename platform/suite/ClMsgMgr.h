// The message manager: remembers the status of the last library step and
// shows library errors to the user.
#pragma once

#include <string>

#include "suite/SuiteTypes.h"

class ClMsgMgr {
public:
    static ClMsgMgr* Inst();

    // Registers the status of the last library step with the source file and
    // line that report it; (0, NULL, 0) clears it. Shows nothing; returns `status`.
    long SetLastError(long status, LPCSTR pszSource, long nLine);

    // Non-zero when `status` is an error that must end the run: the error is
    // shown first (with the registered source and line when they belong to
    // this status). 0 for success and for the end of a walk. `nMsgId` -1
    // means the library's own text; `nMode` 1 shows it in a message box.
    long CheckFatalErrorWithMsg(long status, long nMsgId, long nMode, HWND hOwner);

    // The registration (status 0 and empty source when none).
    long GetLastStatus() const { return m_lStatus; }
    const std::string& GetLastSource() const { return m_strSource; }
    long GetLastLine() const { return m_nLine; }

    // The library's text for a status (code page 932).
    static std::string StatusText(long status);

    // Shows a library message in a message box through the window backend,
    // owned by `hOwner` (or the connection's owner window) and captioned with
    // `pszCaption` (or the connection's caption); errors are also written to
    // standard error. Text in code page 932. Returns the message box's answer.
    static int ShowMessage(HWND hOwner, const std::string& text, LPCSTR pszCaption, UINT flags, bool bError);
    // The text and caption of the last message shown (empty before any).
    static const std::string& LastShownText();
    static const std::string& LastShownCaption();

private:
    long m_lStatus = 0;
    std::string m_strSource;
    long m_nLine = 0;
};
