#include "mfc/CDataExchange.h"

#include "mfc/CUserException.h"
#include "mfc/CWnd.h"

#include <cstdio>

using win::WindowKind;
using win::WindowRegistry;
using win::WindowState;

namespace {

bool IsRadio(HWND h)
{
    WindowState* w = WindowRegistry::Find(h);
    return w && w->IsRadio();
}

}  // namespace

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND h = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    if (!h) {
        std::fprintf(stderr, "zelkor: data exchange with control %d, which the dialog does not have\n", nIDC);
        throw new CUserException;
    }
    m_hWndLastControl = h;
    m_bEditLastControl = FALSE;
    return h;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND h = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return h;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl) ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd) return;
    HWND h = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(h)) {
        std::fprintf(stderr, "zelkor: control %d is already bound to another object\n", nIDC);
        pDX->Fail();
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        CWnd::FromHandle(h)->GetWindowText(value);
    else
        ::SetWindowTextA(h, value);
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (pDX->m_bSaveAndValidate) {
        if (value.GetLength() > nChars) {
            char text[96];
            std::snprintf(text, sizeof text, "%d 文字以内で入力してください。", nChars);
            AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
    } else if (pDX->m_hWndLastControl && pDX->m_bEditLastControl) {
        ::SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND first = pDX->PrepareCtrl(nIDC);
    WindowState* f = WindowRegistry::Find(first);
    WindowState* dlg = WindowRegistry::Find(f->parent);
    if (!(f->style & WS_GROUP))
        std::fprintf(stderr, "zelkor: DDX_Radio on control %d, which does not start a group\n", nIDC);
    if (pDX->m_bSaveAndValidate) value = -1;
    bool started = false;
    int index = 0;
    for (HWND h : dlg->children) {
        if (h == first) started = true;
        if (!started) continue;
        WindowState* w = WindowRegistry::Find(h);
        if (h != first && (w->style & WS_GROUP)) break;
        if (!IsRadio(h)) continue;
        if (pDX->m_bSaveAndValidate) {
            if (value == -1 && ::SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            ::SendMessageA(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}
