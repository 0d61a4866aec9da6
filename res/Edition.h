// What differs between the four deliverables. Each executable links exactly
// one edition unit (editions/), which defines `g_Edition` and registers the
// edition's icon as the application's icon (IDR_MAINFRAME).
#pragma once

struct EditionInfo {
    int nAppType;                 // edition code handed to the connection library
    const char* pszProductName;   // product literal (message M1, PROGRAMNAME fallback)
    const char* pszSettingsFile;  // settings file name in the settings folder
    bool bKeyWithSelectedNo;      // settings key carries the user's selected number
    const char* const* ppszIcon;  // the edition's icon: XPM image from res/icons/
};

extern const EditionInfo g_Edition;
