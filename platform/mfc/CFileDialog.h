// The save-file (and open-file) box. The backend shows it and supplies the
// path the user chose; the box's own rules are applied here, as the system's
// box does before it closes:
//  - a path that is not absolute is taken in the initial folder;
//  - a file name with * or ? filters the box instead of choosing: it stays open;
//  - without an extension, the default extension is appended;
//  - OFN_PATHMUSTEXIST: a folder that does not exist is refused with a message
//    box and the box stays open;
//  - OFN_OVERWRITEPROMPT (save): an existing file asks Yes/No first; No keeps
//    the box open;
//  - OFN_FILEMUSTEXIST applies to open boxes only: a save box names a file
//    that need not exist yet;
//  - a path longer than the file buffer (m_ofn.nMaxFile) cancels the box.
#pragma once

#include "mfc/CDialog.h"
#include "win32/CommDlg.h"

#include <string>

class CFileDialog : public CDialog {
public:
    // lpszFilter: "Description|pattern|...|" with '|' between the texts and
    // an extra '|' at the end, e.g. "Xml Files (*.xml)|*.xml||".
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);

    OPENFILENAME m_ofn;

    // IDOK with the chosen path, IDCANCEL when the user cancelled.
    INT_PTR DoModal() override;

    // The chosen path; m_ofn.nFileOffset and m_ofn.nFileExtension index its
    // file name and its extension (0 for none) in it.
    CString GetPathName() const;

private:
    BOOL m_bOpenFileDialog;
    std::string m_filter;  // NUL-separated
    std::string m_defExt;
    char m_szFileName[_MAX_PATH] = {};
};
