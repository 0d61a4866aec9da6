// Window functions over the framework's window registry (WindowRegistry). A
// handle that the registry does not know is a foreign window (the calling
// application's): what is done to it goes to the caller endpoint
// (CallerEndpoint), or is recorded and dropped when there is none.
//
// Everything here runs on the one GUI thread; none of it is thread-safe.
#pragma once

#include "win32/WinTypes.h"

// Messages, notifications and types the window functions know beyond the
// basic set. Guarded, so that a later copy in WinTypes.h does not collide.
#ifndef WM_GETTEXTLENGTH
#define WM_GETTEXTLENGTH 0x000E
#endif
#ifndef WM_NEXTDLGCTL
#define WM_NEXTDLGCTL 0x0028
#endif
#ifndef WM_NCDESTROY
#define WM_NCDESTROY 0x0082
#endif
#ifndef WM_KEYFIRST
#define WM_KEYFIRST 0x0100
#define WM_KEYLAST 0x0109
#endif
#ifndef DM_GETDEFID
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B
#endif
#ifndef EM_REPLACESEL
#define EM_REPLACESEL 0x00C2
#endif
#ifndef EM_SCROLLCARET
#define EM_SCROLLCARET 0x00B7
#endif
#ifndef EM_GETLIMITTEXT
#define EM_GETLIMITTEXT 0x00D5
#endif
#ifndef EN_SETFOCUS
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#endif
#ifndef BN_SETFOCUS
#define BN_SETFOCUS 6
#define BN_KILLFOCUS 7
#endif
#ifndef BST_INDETERMINATE
#define BST_INDETERMINATE 0x0002
#define BST_PUSHED 0x0004
#define BST_FOCUS 0x0008
#endif
#ifndef MB_ABORTRETRYIGNORE
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_RETRYCANCEL 0x00000005L
#endif
#ifndef MB_DEFMASK
#define MB_DEFBUTTON3 0x00000200L
#define MB_DEFMASK 0x00000F00L
#endif
#ifndef VK_PRIOR
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_DELETE 0x2E
#define VK_NUMPAD5 0x65
#define VK_NUMPAD6 0x66
#define VK_NUMPAD7 0x67
#define VK_NUMPAD8 0x68
#define VK_NUMPAD9 0x69
#endif
#ifndef WS_EX_DLGMODALFRAME
#define WS_EX_DLGMODALFRAME 0x00000001L
#endif
#ifndef DS_SYSMODAL
#define DS_SYSMODAL 0x02L
#endif
#ifndef SS_BITMAP
#define SS_ICON 0x00000003L
#define SS_BITMAP 0x0000000EL
#define SS_TYPEMASK 0x0000001FL
#define SS_NOTIFY 0x00000100L
#endif
#ifndef SW_SHOWNOACTIVATE
#define SW_SHOWNOACTIVATE 4
#define SW_SHOWNA 8
#endif

struct HMENU__ { int unused; };
typedef HMENU__* HMENU;

// The creation parameters handed with WM_CREATE.
typedef struct tagCREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTA, CREATESTRUCT, *LPCREATESTRUCTA, *LPCREATESTRUCT;

// Range of a progress bar (PBM_GETRANGE).
typedef struct tagPBRANGE {
    int iLow;
    int iHigh;
} PBRANGE, *PPBRANGE;

#ifndef MAKEWPARAM
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#endif

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL IsWindowEnabled(HWND hWnd);
BOOL IsWindow(HWND hWnd);
BOOL IsWindowVisible(HWND hWnd);
BOOL SetForegroundWindow(HWND hWnd);
BOOL BringWindowToTop(HWND hWnd);
BOOL UpdateWindow(HWND hWnd);
BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString);
int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);
int GetWindowTextLengthA(HWND hWnd);
HWND SetFocus(HWND hWnd);
HWND GetFocus();
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
int GetDlgCtrlID(HWND hWnd);
HWND GetParent(HWND hWnd);
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
SHORT GetKeyState(int nVirtKey);

// Creation and destruction. The class names are the system's: "BUTTON",
// "EDIT", "STATIC", "msctls_progress32" and "#32770" (dialog); any other name
// makes a plain window. hMenu carries a child's control id.
HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                     int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam);
BOOL DestroyWindow(HWND hWnd);
LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// Dialog helpers.
BOOL EndDialog(HWND hDlg, INT_PTR nResult);
BOOL IsDialogMessageA(HWND hDlg, LPMSG lpMsg);
HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious);
HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious);
BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck);
UINT IsDlgButtonChecked(HWND hDlg, int nIDButton);

// Message queue of the GUI thread: PostMessageA to a window of this process
// queues; the modal loops and the backends pump.
BOOL TranslateMessage(const MSG* lpMsg);
LRESULT DispatchMessageA(const MSG* lpMsg);
