#include "suite/ClToolTipMgr.h"

#include "win32/User.h"
#include "win32/WindowRegistry.h"

ClToolTipMgr::ClToolTipMgr() = default;

ClToolTipMgr::~ClToolTipMgr() { ShowTips(false); }

long ClToolTipMgr::Init(HWND hDlg, const TOOLTIPMSG_TABLE* pTable, int nCount)
{
    if (!hDlg || !pTable || nCount < 1) return SUITE_ERR_PARAM;
    std::vector<Tip> tips;
    for (int i = 0; i < nCount; ++i) {
        if (!pTable[i].pszMsg) continue;
        tips.push_back({pTable[i].nID, pTable[i].pszMsg, pTable[i].nValue});
    }
    ShowTips(false);
    m_hDlg = hDlg;
    m_tips = std::move(tips);
    ShowTips(true);
    return SUITE_OK;
}

// The backends show a control's tooltip from the window registry, so the
// manager sets them there for as long as it holds the table.
void ClToolTipMgr::ShowTips(bool bShow)
{
    if (!m_hDlg || !IsWindow(m_hDlg)) return;
    for (const Tip& tip : m_tips) {
        HWND hCtrl = GetDlgItem(m_hDlg, static_cast<int>(tip.nID));
        if (hCtrl) win::WindowRegistry::SetToolTip(hCtrl, bShow ? tip.text : std::string());
    }
}
