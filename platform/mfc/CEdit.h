// A single-line edit control. Typing keeps its rules: ES_NUMBER admits digits
// only, and the text limit (EM_LIMITTEXT, in bytes of code page 932; a
// double-byte character that does not fit whole is refused). Setting the text
// from the program (SetWindowText) is not limited.
#pragma once

#include "mfc/CWnd.h"

class CEdit : public CWnd {};
