// Window functions over the framework's window registry. A handle that the
// registry does not know is a foreign window (the calling application's): what
// is done to it goes to the caller endpoint (CallerEndpoint), or is recorded
// and dropped when there is none.
#pragma once

#include "win32/WinTypes.h"

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL IsWindowEnabled(HWND hWnd);
BOOL IsWindow(HWND hWnd);
BOOL SetForegroundWindow(HWND hWnd);
BOOL BringWindowToTop(HWND hWnd);
BOOL UpdateWindow(HWND hWnd);
BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString);
int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);
HWND SetFocus(HWND hWnd);
HWND GetFocus();
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
HWND GetParent(HWND hWnd);
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
SHORT GetKeyState(int nVirtKey);
