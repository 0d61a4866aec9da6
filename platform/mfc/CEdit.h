// A single-line edit control. Typing keeps its rules: ES_NUMBER admits digits
// only, and the text limit (LimitText, in bytes of code page 932; a
// double-byte character that does not fit whole is refused). Setting the text
// from the program (SetWindowText) is not limited.
#pragma once

#include "mfc/CWnd.h"

class CEdit : public CWnd {
public:
    void LimitText(int nChars = 0);
    void SetLimitText(UINT nMax);
    UINT GetLimitText() const;
    // nStartChar -1 removes the selection; nEndChar -1 selects to the end.
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
    void SetSel(DWORD dwSelection, BOOL bNoScroll = FALSE);
    DWORD GetSel() const;
    void GetSel(int& nStartChar, int& nEndChar) const;
    // Replaces the selection (within the text limit).
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE);
};
