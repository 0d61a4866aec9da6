// The tooltip manager of a dialog. Init hands the dialog's tooltip table to
// the window backend: while the manager lives, each control of the table
// carries its tip in the window registry, where every backend shows it.
#pragma once

#include <string>
#include <vector>

#include "suite/SuiteRecords.h"

class ClToolTipMgr {
public:
    struct Tip {
        UINT nID;          // control id
        std::string text;  // code page 932
        UINT nValue;
    };

    ClToolTipMgr();
    ClToolTipMgr(const ClToolTipMgr&) = delete;
    ClToolTipMgr& operator=(const ClToolTipMgr&) = delete;
    virtual ~ClToolTipMgr();

    // Registers `nCount` tooltips of the dialog `hDlg`, replacing those of an
    // earlier Init. Entries with a null text are skipped. SUITE_ERR_PARAM for a
    // null window or table or a count below 1.
    long Init(HWND hDlg, const TOOLTIPMSG_TABLE* pTable, int nCount);

    HWND GetWindow() const { return m_hDlg; }
    const std::vector<Tip>& GetTips() const { return m_tips; }

private:
    void ShowTips(bool bShow);

    HWND m_hDlg = nullptr;
    std::vector<Tip> m_tips;
};
