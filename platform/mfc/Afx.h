// The application-framework subset, as the program's code includes it.
#pragma once

#include "win32/Windows.h"

#include "mfc/CString.h"
#include "mfc/ResourceTable.h"
#include "mfc/CException.h"
#include "mfc/CFileException.h"
#include "mfc/CFile.h"
#include "mfc/WaitCursor.h"
#include "mfc/WinApp.h"
