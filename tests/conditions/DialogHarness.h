// Runs the conditions dialog through the script backend on a drive map of
// its own: C: fixed, Q: CD-ROM, D: without a root. The suite's output folder
// is C:\out\ and its settings folder C:\cfg\.
//
// The script may use `key F11` to take a snapshot of every control's state
// (the dialog's keyboard handling has no use for F11).
#pragma once

#include "conditions/ShukeiJokenDlg.h"
#include "tests/support/TestTemp.h"
#include "res/ResourceIds.h"
#include "suite/ClToolTipMgr.h"
#include "win32/DriveMap.h"
#include "win32/Mbcs.h"
#include "win32/PlatformConfig.h"

#include "../support/ScriptRun.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

struct ControlState {
    std::string text;  // code page 932
    bool enabled = true;
    bool checked = false;
    int selStart = 0, selEnd = 0;
};

struct DialogSnapshot {
    std::map<int, ControlState> controls;
    int focus = 0;  // id of the focused control, 0 when none
    std::string tooltip;

    const ControlState& operator[](int id) const { return controls.at(id); }
    bool Checked(int id) const { return controls.at(id).checked; }
    bool Enabled(int id) const { return controls.at(id).enabled; }
    const std::string& Text(int id) const { return controls.at(id).text; }

    // Each control of `ids` is checked (enabled) or not; a failure names it.
    void ExpectChecked(std::initializer_list<int> ids, bool checked = true) const
    {
        for (int id : ids) EXPECT_EQ(Checked(id), checked) << "control " << id;
    }
    void ExpectEnabled(std::initializer_list<int> ids, bool enabled = true) const
    {
        for (int id : ids) EXPECT_EQ(Enabled(id), enabled) << "control " << id;
    }
    // Each control shows its text (code page 932).
    void ExpectTexts(std::initializer_list<std::pair<int, const char*>> texts) const
    {
        for (const auto& [id, text] : texts) EXPECT_EQ(Text(id), text) << "control " << id;
    }
};

// The dialog with a snapshot after its initialisation and at each F11.
class ProbedJokenDlg : public CShukeiJokenDlg {
public:
    std::vector<DialogSnapshot> snapshots;

    DialogSnapshot Snapshot() const
    {
        DialogSnapshot s;
        if (win::WindowState* d = win::WindowRegistry::Find(m_hWnd)) {
            for (HWND h : d->children) {
                win::WindowState* c = win::WindowRegistry::Find(h);
                if (!c || c->id <= 0) continue;
                ControlState& cs = s.controls[c->id];
                cs.text = c->text;
                cs.enabled = c->enabled;
                cs.checked = c->check == BST_CHECKED;
                cs.selStart = c->selStart;
                cs.selEnd = c->selEnd;
            }
        }
        if (HWND f = win::WindowRegistry::Focus(); f && ::GetParent(f) == m_hWnd) s.focus = ::GetDlgCtrlID(f);
        if (const win::WindowState* tip = win::WindowRegistry::Find(::GetDlgItem(m_hWnd, IDC_PIC_TOOLTIP)))
            s.tooltip = tip->toolTip;
        return s;
    }

    BOOL OnInitDialog() override
    {
        BOOL r = CShukeiJokenDlg::OnInitDialog();
        snapshots.push_back(Snapshot());
        return r;
    }

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == 0x7A /* F11 */) {
            snapshots.push_back(Snapshot());
            return TRUE;
        }
        return CShukeiJokenDlg::PreTranslateMessage(pMsg);
    }
};

class ConditionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = testtemp::Make("zk_cond_");
        for (const char* dir : {"c", "c/out", "q"})
            std::filesystem::create_directories(root_ / dir);
        ::setenv("ZELKOR_OUTPUT_FOLDER", "C:\\out\\", 1);
        ::setenv("ZELKOR_SETTINGS_FOLDER", "C:\\cfg\\", 1);
    }

    // A script whose actions were not all taken, or that the backend could
    // not read, tests something else than it says: the dialog ended before
    // the actions meant to drive it.
    void CheckLeftovers()
    {
        if (!run_) return;
        const std::string t = run_->Transcript();
        for (const char* word : {"unused-actions", "script-error"})
            if (t.find(word) != std::string::npos) ADD_FAILURE() << word << " in the transcript:\n" << t;
    }
    void TearDown() override
    {
        CheckLeftovers();
        ::unsetenv("ZELKOR_OUTPUT_FOLDER");
        ::unsetenv("ZELKOR_SETTINGS_FOLDER");
        dlg_.reset();
        run_.reset();
        DriveMap::SetForTesting("", "");
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    // Inputs as the run sets them: a 原則課税 dataset over April 2023 to
    // March 2024 whose saved return is usable (months 4 to 3, 割り戻し both).
    static void Defaults(CShukeiJokenDlg& d)
    {
        std::strcpy(d.m_szUserID, "U1");
        std::strcpy(d.m_szDataID, "D0001");
        d.m_lSelectedNo = 1;
        d.m_lKikanFrom = 20230401;
        d.m_lKikanTo = 20240331;
        d.m_nSavedStartMonth = 4;
        d.m_nSavedEndMonth = 3;
        d.m_bKakoJisseki = 0;
        d.m_bSaveInfoUsable = 1;
        d.m_strCompanyName = "株式会社テスト";
        d.m_strPeriod = "2023/04/01～2024/03/31";
        d.m_strKazeiKubun = "原則課税";
        d.m_strDetailLabel = "課税仕入控除";
        d.m_strDetailValue = "個別対応方式";
        d.m_nKazeiKubun = 2;
        d.m_bNiwariTokurei = 0;
        d.m_nUriageHoushiki = 0;
        d.m_nShiireHoushiki = 0;
    }

    // Runs the dialog with a script (code page 932 text); `setup` changes
    // the inputs after the defaults.
    INT_PTR Run(const std::string& script, const std::function<void(CShukeiJokenDlg&)>& setup = {})
    {
        CheckLeftovers();
        dlg_.reset();
        run_.reset();  // its end resets the configuration
        run_ = std::make_unique<ScriptRun>(script);
        const std::string r = root_.string();
        DriveMap::SetForTesting("C=" + r + "/c;Q=" + r + "/q:cdrom;D=", "");
        dlg_ = std::make_unique<ProbedJokenDlg>();
        Defaults(*dlg_);
        if (setup) setup(*dlg_);
        return dlg_->DoModal();
    }

    // The transcript of the last run (UTF-8).
    std::string Transcript() { return run_->Transcript(); }

    ProbedJokenDlg& Dlg() { return *dlg_; }
    const DialogSnapshot& Init() { return dlg_->snapshots.at(0); }
    const DialogSnapshot& Shot(size_t n) { return dlg_->snapshots.at(n); }

    // A settings file with the given lines, in the settings folder.
    void WriteSettings(const std::string& bytes) const
    {
        std::filesystem::create_directories(root_ / "c" / "cfg");
        std::ofstream(root_ / "c" / "cfg" / "Zelkora.env", std::ios::binary) << bytes;
    }
    std::string ReadSettings() const
    {
        std::ifstream in(root_ / "c" / "cfg" / "Zelkora.env", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    static std::string U8(const std::string& cp932) { return mbcs::Cp932ToUtf8(cp932); }
    // A message text as the transcript quotes it.
    static std::string Quoted(const std::string& cp932)
    {
        std::string out;
        for (char ch : U8(cp932)) {
            if (ch == '\n')
                out += "\\n";
            else if (ch == '\\' || ch == '"')
                out += std::string("\\") + ch;
            else
                out += ch;
        }
        return out;
    }
    // The message lines of the transcript, in order.
    std::vector<std::string> Messages(const std::string& transcript) const
    {
        std::vector<std::string> out;
        std::istringstream in(transcript);
        for (std::string line; std::getline(in, line);)
            if (line.rfind("message ", 0) == 0) out.push_back(line);
        return out;
    }

    // Message `n` of the last run quotes `cp932Text`.
    void ExpectMessage(size_t n, const std::string& cp932Text)
    {
        const std::vector<std::string> m = Messages(Transcript());
        ASSERT_GT(m.size(), n) << Transcript();
        EXPECT_NE(m[n].find(Quoted(cp932Text)), std::string::npos) << m[n];
    }

    std::filesystem::path root_;
    std::unique_ptr<ScriptRun> run_;
    std::unique_ptr<ProbedJokenDlg> dlg_;
};
