// The connection of a linking program to the bookkeeping suite: opens the
// suite's store, checks that a user works on a selected dataset, shows the
// suite's messages, and closes everything again.
#pragma once

#include <string>

#include "suite/ClSysEnvMgr.h"
#include "suite/SuiteTypes.h"

class ClAccConnect {
public:
    static ClAccConnect* Inst();
    virtual ~ClAccConnect();

    // Written by the program directly: the caption of the library's messages
    // and the window that owns them. Pointer-width fields right after the
    // object's table pointer, in this order.
    LPCSTR m_pszCaption = nullptr;
    HWND m_hOwnerWnd = nullptr;

    // Both before Initiate.
    void SetAppType(ClSysEnvMgr::_AppType type);
    void SetUseDataType(int type);

    // Opens the store of the suite home. 0 when the connection is ready;
    // SUITE_ERR_NOSTORE when the store cannot be opened and SUITE_ERR_PARAM for
    // an unknown application type, after telling the user why.
    long Initiate();

    // 0 when a current user works on a selected dataset; 1 when no dataset is
    // selected; 2 when the store cannot be read or the connection is not
    // initiated. The user is told why on 1 and 2.
    long ExpSysLink();

    // Shows a message of the program through the window backend; the token
    // "ES_APRPACKAGENAME" in the text stands for the filing application's
    // name. Returns the message box's answer.
    UINT DispMsg(HWND hOwner, LPCSTR pszText, LPCSTR pszCaption, UINT nFlags);

    // Ends the user's session, closes the store, and returns the connection
    // to its initial state. Each is safe in any state and returns 0.
    long LogOut();
    long Terminate();
    long Release();

    int GetAppType() const { return m_nAppType; }
    bool IsInitiated() const { return m_bInitiated; }
    bool IsLinked() const { return m_bLinked; }

    // The text that stands for "ES_APRPACKAGENAME" (code page 932).
    static const char* PackageName();
    // `text` with every "ES_APRPACKAGENAME" replaced by PackageName(); only
    // whole characters are matched (never a trail byte).
    static std::string ExpandTokens(const std::string& text);

private:
    ClAccConnect() = default;

    int m_nAppType = 0;
    int m_nUseDataType = 0;
    bool m_bInitiated = false;
    bool m_bLinked = false;
};
