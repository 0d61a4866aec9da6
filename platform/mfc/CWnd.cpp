#include "mfc/CWnd.h"

#include "mfc/CButton.h"
#include "mfc/CDataExchange.h"
#include "mfc/CEdit.h"
#include "mfc/CProgressCtrl.h"
#include "mfc/CStatic.h"
#include "mfc/CUserException.h"
#include "mfc/WinApp.h"
#include "win32/ResourceTable.h"

#include <cstdio>
#include <map>
#include <memory>

using win::WindowRegistry;

namespace {

// Handle -> its permanent object.
std::map<HWND, CWnd*>& Permanent()
{
    static std::map<HWND, CWnd*> map;
    return map;
}

// Handle -> the wrapper object FromHandle made for it.
std::map<HWND, std::unique_ptr<CWnd>>& Wrappers()
{
    static std::map<HWND, std::unique_ptr<CWnd>> map;
    return map;
}

}  // namespace

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    // A window still bound to this object goes with it (its messages would
    // otherwise reach a destroyed object).
    if (m_hWnd && m_subclassed && WindowRegistry::Find(m_hWnd)) {
        ::DestroyWindow(m_hWnd);
    }
    Unbind();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    auto& map = Permanent();
    auto it = map.find(hWnd);
    return it == map.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd) return nullptr;
    if (CWnd* p = FromHandlePermanent(hWnd)) return p;
    auto& wrappers = Wrappers();
    auto& slot = wrappers[hWnd];
    if (!slot) {
        // The wrapper of a control is an object of the control's class, so
        // that the usual cast of GetDlgItem's result to it is sound.
        win::WindowState* w = WindowRegistry::Find(hWnd);
        switch (w ? w->kind : win::WindowKind::Window) {
        case win::WindowKind::Button: slot = std::make_unique<CButton>(); break;
        case win::WindowKind::Edit: slot = std::make_unique<CEdit>(); break;
        case win::WindowKind::Static: slot = std::make_unique<CStatic>(); break;
        case win::WindowKind::Progress: slot = std::make_unique<CProgressCtrl>(); break;
        default: slot = std::make_unique<CWnd>(); break;
        }
        slot->m_hWnd = hWnd;
    }
    return slot.get();
}

void CWnd::BindPermanent(HWND hWnd)
{
    m_hWnd = hWnd;
    Permanent()[hWnd] = this;
}

void CWnd::Unbind()
{
    if (!m_hWnd) return;
    auto& map = Permanent();
    auto it = map.find(m_hWnd);
    if (it != map.end() && it->second == this) map.erase(it);
    if (m_subclassed) {
        if (win::WindowState* w = WindowRegistry::Find(m_hWnd); w && w->handler == this) w->handler = nullptr;
        m_subclassed = false;
    }
    m_hWnd = nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    win::WindowState* w = WindowRegistry::Find(hWnd);
    if (!w || m_hWnd || w->handler || FromHandlePermanent(hWnd)) return FALSE;
    BindPermanent(hWnd);
    w->handler = this;
    m_subclassed = true;
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd) return FALSE;
    HWND h = m_hWnd;
    if (!WindowRegistry::Find(h)) {
        Unbind();
        return FALSE;
    }
    BOOL ok = ::DestroyWindow(h);
    // A window bound without its messages (Attach) does not see WM_NCDESTROY.
    if (m_hWnd == h) Unbind();
    return ok;
}

BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
void CWnd::SetWindowText(LPCTSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }
int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const
{
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const
{
    int n = ::GetWindowTextLengthA(m_hWnd);
    char* buf = rString.GetBuffer(n + 1);
    ::GetWindowTextA(m_hWnd, buf, n + 1);
    rString.ReleaseBuffer();
}

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
void CWnd::BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}


void CWnd::CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
UINT CWnd::IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (CUserException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!m_hWnd) {
        // The first message of a window this object creates (WM_CREATE).
        BindPermanent(hwnd);
        m_subclassed = true;
    }
    Current saved = m_current;
    m_current = {msg, wParam, lParam};
    LRESULT r = WindowProc(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        // The window is gone: the object is free again (and may delete itself).
        Unbind();
        PostNcDestroy();
        return r;
    }
    m_current = saved;
    return r;
}

BOOL CWnd::PreTranslate(MSG* msg) { return PreTranslateMessage(msg); }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        *pResult = 1;
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* e = FindEntry(message, 0, 0);
    if (!e) return FALSE;
    *pResult = e->pfn(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) { return OnCmdMsg(LOWORD(wParam), HIWORD(wParam)); }

LRESULT CWnd::Default() { return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam); }

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT)
{
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL: nType |= MB_ICONEXCLAMATION; break;
        case MB_YESNO:
        case MB_YESNOCANCEL: nType |= MB_ICONQUESTION; break;
        default: break;
        }
    }
    return ::MessageBoxA(WindowRegistry::ActiveModal(), lpszText, AfxGetAppName(), nType);
}
