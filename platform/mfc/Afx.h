// The application-framework subset, as the program's code includes it.
#pragma once

#include "win32/Windows.h"

#include "mfc/CString.h"
#include "win32/ResourceTable.h"
#include "mfc/CException.h"
#include "mfc/CFileException.h"
#include "mfc/CFile.h"
#include "mfc/WinApp.h"
#include "mfc/CCmdTarget.h"
#include "mfc/CWnd.h"
#include "mfc/CDialog.h"
#include "mfc/DialogTemplate.h"
#include "mfc/CDataExchange.h"
#include "mfc/CUserException.h"
#include "mfc/CButton.h"
#include "mfc/CEdit.h"
#include "mfc/CStatic.h"
#include "mfc/CProgressCtrl.h"
#include "mfc/CFileDialog.h"
