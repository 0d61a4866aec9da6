#include "suite/ClToolTipMgr.h"

#include "win32/User.h"
#include "win32/WindowRegistry.h"

#include <algorithm>

namespace {

std::vector<ClToolTipMgr*>& LiveManagers()
{
    static std::vector<ClToolTipMgr*> managers;
    return managers;
}

}  // namespace

ClToolTipMgr::ClToolTipMgr() { LiveManagers().push_back(this); }

ClToolTipMgr::~ClToolTipMgr()
{
    ShowTips(false);
    auto& live = LiveManagers();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

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

std::vector<ClToolTipMgr::Tip> ClToolTipMgr::TipsOf(HWND hDlg)
{
    std::vector<Tip> tips;
    if (!hDlg) return tips;
    for (const ClToolTipMgr* mgr : LiveManagers()) {
        if (mgr->m_hDlg == hDlg) tips.insert(tips.end(), mgr->m_tips.begin(), mgr->m_tips.end());
    }
    return tips;
}

std::string ClToolTipMgr::TipText(HWND hDlg, UINT nControlID)
{
    for (const Tip& tip : TipsOf(hDlg)) {
        if (tip.nID == nControlID) return tip.text;
    }
    return {};
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
