// A progress bar. Every operation is its PBM_ message: the position stays
// within the range (SetPos and OffsetPos clamp; PBM_STEPIT past the end starts
// over from the other end). Default range 0 to 100, step 10, position 0.
#pragma once

#include "mfc/CWnd.h"

class CProgressCtrl : public CWnd {
public:
    void SetRange(short nLower, short nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    int GetPos() const;
    int SetPos(int nPos);     // returns the previous position
    int OffsetPos(int nPos);  // returns the previous position
    int SetStep(int nStep);   // returns the previous step
};
