// A button control: push button, check box, radio button or group box. A
// click (by the user, BM_CLICK, Space or an access key) of an automatic radio
// button checks it and clears the other automatic radio buttons of its group;
// BM_SETCHECK sets this button only, as with the system's buttons.
#pragma once

#include "mfc/CWnd.h"

class CButton : public CWnd {};
