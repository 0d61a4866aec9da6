#include "mfc/CProgressCtrl.h"

void CProgressCtrl::SetRange(short nLower, short nUpper)
{
    ::SendMessageA(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper));
}

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const
{
    PBRANGE range{};
    ::SendMessageA(m_hWnd, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    nLower = range.iLow;
    nUpper = range.iHigh;
}

int CProgressCtrl::GetPos() const { return static_cast<int>(::SendMessageA(m_hWnd, PBM_GETPOS, 0, 0)); }

int CProgressCtrl::SetPos(int nPos)
{
    return static_cast<int>(::SendMessageA(m_hWnd, PBM_SETPOS, static_cast<WPARAM>(static_cast<INT_PTR>(nPos)), 0));
}

int CProgressCtrl::OffsetPos(int nPos)
{
    return static_cast<int>(::SendMessageA(m_hWnd, PBM_DELTAPOS, static_cast<WPARAM>(static_cast<INT_PTR>(nPos)), 0));
}

int CProgressCtrl::SetStep(int nStep)
{
    return static_cast<int>(::SendMessageA(m_hWnd, PBM_SETSTEP, static_cast<WPARAM>(static_cast<INT_PTR>(nStep)), 0));
}
