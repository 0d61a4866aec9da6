#include "mfc/CDialog.h"

#include "mfc/DialogTemplate.h"
#include "ui/Backends.h"

#include <cstdio>

using win::WindowRegistry;
using win::WindowState;

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
    ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDHelp(nIDTemplate), m_nIDTemplate(nIDTemplate),
                                                       m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    if (m_hWnd && WindowRegistry::Find(m_hWnd)) DestroyWindow();
}

bool CDialog::CreateFromTemplate(HWND owner, bool modal)
{
    const DialogTemplate* t = DialogTemplate::Find(m_nIDTemplate);
    if (!t) {
        std::fprintf(stderr, "zelkor: dialog template %u is not registered\n", m_nIDTemplate);
        return false;
    }
    if (m_hWnd) return false;
    WindowRegistry::HandlerForNextWindow(this);
    HWND h = ::CreateWindowExA(t->exStyle, "#32770", t->caption.c_str(), t->style & ~WS_VISIBLE & ~WS_CHILD, t->x,
                               t->y, t->cx, t->cy, owner, nullptr, nullptr, nullptr);
    WindowRegistry::HandlerForNextWindow(nullptr);
    if (!h) return false;
    WindowState* w = WindowRegistry::Find(h);
    w->templateId = static_cast<int>(t->id);
    w->fontName = t->fontName;
    w->fontSize = t->fontSize;
    w->modal = modal;
    for (const DialogItem& item : t->items) {
        DWORD style = item.style | WS_CHILD | (item.hidden ? 0 : WS_VISIBLE);
        ::CreateWindowExA(item.exStyle, item.className.c_str(), item.text.c_str(), style, item.x, item.y, item.cx,
                          item.cy, h, reinterpret_cast<HMENU>(static_cast<intptr_t>(item.id)), nullptr, nullptr);
    }
    // WM_INITDIALOG: TRUE gives the focus to the first tab stop.
    HWND first = ::GetNextDlgTabItem(h, nullptr, FALSE);
    if (::SendMessageA(h, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), 0) && first && WindowRegistry::Find(h)) {
        WindowState* f = WindowRegistry::Find(first);
        if (f && f->enabled && !WindowRegistry::Find(h)->ended) {
            ::SetFocus(first);
            if (f->kind == win::WindowKind::Edit) ::SendMessageA(first, EM_SETSEL, 0, -1);
        }
    }
    return WindowRegistry::Find(h) != nullptr;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    if (!m_nIDHelp) m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
    if (!CreateFromTemplate(pParentWnd ? pParentWnd->m_hWnd : nullptr, false)) return FALSE;
    const DialogTemplate* t = DialogTemplate::Find(m_nIDTemplate);
    WindowState* w = WindowRegistry::Find(m_hWnd);
    if (t && w && (t->style & WS_VISIBLE) && !w->ended) ::ShowWindow(m_hWnd, SW_SHOW);
    return TRUE;
}

INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    HWND focusBefore = ::GetFocus();
    bool ownerDisabled = false;
    if (owner && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        ownerDisabled = true;
    }
    if (!CreateFromTemplate(owner, true)) {
        if (ownerDisabled) ::EnableWindow(owner, TRUE);
        return -1;
    }
    HWND h = m_hWnd;
    WindowRegistry::PushModal(h);
    WindowState* w = WindowRegistry::Find(h);
    if (!w->ended) {
        ::ShowWindow(h, SW_SHOW);
        ui::Backends::Current().RunModal(h);
    }
    w = WindowRegistry::Find(h);
    INT_PTR result = w ? w->result : IDCANCEL;
    ui::Backends::Current().DialogEnded(h, result);
    WindowRegistry::PopModal(h);
    if (ownerDisabled) ::EnableWindow(owner, TRUE);
    if (m_hWnd == h) DestroyWindow();
    if (focusBefore && WindowRegistry::Find(focusBefore)) ::SetFocus(focusBefore);
    return result;
}

void CDialog::EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (!m_hWnd || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
    if (!WindowRegistry::IsDescendant(m_hWnd, pMsg->hwnd)) return FALSE;
    return ::IsDialogMessageA(m_hWnd, pMsg);
}
