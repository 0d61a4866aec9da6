// A static control: a label, or an empty picture frame.
#pragma once

#include "mfc/CWnd.h"

class CStatic : public CWnd {};
