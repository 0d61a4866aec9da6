#include "mfc/CDataExchange.h"

#include "mfc/CUserException.h"
#include "mfc/CWnd.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

using win::WindowKind;
using win::WindowRegistry;
using win::WindowState;

namespace {

const char* const kEnterInteger = "整数を入力してください。";

// A whole decimal number with optional blanks around it and an optional sign.
bool ParseWhole(const CString& text, long long minValue, long long maxValue, long long& out)
{
    const char* s = text.GetString();
    while (*s == ' ' || *s == '\t') ++s;
    if (!*s) return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(s, &end, 10);
    if (end == s || errno == ERANGE) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end) return false;
    if (v < minValue || v > maxValue) return false;
    out = v;
    return true;
}

template <class T>
void ExchangeWhole(CDataExchange* pDX, int nIDC, T& value, long long minValue, long long maxValue)
{
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        CString text;
        CWnd::FromHandle(h)->GetWindowText(text);
        long long v = 0;
        if (!ParseWhole(text, minValue, maxValue, v)) {
            AfxMessageBox(kEnterInteger, MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        value = static_cast<T>(v);
    } else {
        char buf[32];
        if constexpr (std::is_unsigned_v<T>)
            std::snprintf(buf, sizeof buf, "%llu", static_cast<unsigned long long>(value));
        else
            std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(value));
        ::SetWindowTextA(h, buf);
    }
}

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

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) { ExchangeWhole(pDX, nIDC, value, INT_MIN, INT_MAX); }
void DDX_Text(CDataExchange* pDX, int nIDC, long& value) { ExchangeWhole(pDX, nIDC, value, LONG_MIN, LONG_MAX); }
void DDX_Text(CDataExchange* pDX, int nIDC, short& value) { ExchangeWhole(pDX, nIDC, value, SHRT_MIN, SHRT_MAX); }
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) { ExchangeWhole(pDX, nIDC, value, 0, UINT_MAX); }

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

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(h, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}
