// A button control: push button, check box, radio button or group box. A
// click (by the user, BM_CLICK, Space or an access key) of an automatic radio
// button checks it and clears the other automatic radio buttons of its group;
// SetCheck sets this button only, as with the system's buttons.
#pragma once

#include "mfc/CWnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const;
    void SetCheck(int nCheck);
    UINT GetState() const;
    void SetState(BOOL bHighlight);
    UINT GetButtonStyle() const;
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);
    // Clicks the button as the user would (BM_CLICK).
    void Click();
};
