// The progress dialog: template 131, the two bars, the caption, and the cost
// of the per-record ticks.
#include "AggregationFixture.h"

#include "mfc/DialogTemplate.h"
#include "res/AddTaxResource.h"

#include <time.h>

#include <algorithm>

namespace {

using namespace aggtest;

TEST(AddTaxTemplate, CaptionStylesAndBars)
{
    RegisterAddTaxDialogTemplate();
    const DialogTemplate* t = DialogTemplate::Find(131);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->caption, "集計中");
    EXPECT_EQ(t->style & WS_SYSMENU, 0u);  // no close box
    EXPECT_EQ(t->style & WS_VISIBLE, 0u);
    EXPECT_NE(t->style & DS_SYSMODAL, 0u);
    EXPECT_EQ(t->cx, 221);
    EXPECT_EQ(t->cy, 44);
    ASSERT_EQ(t->items.size(), 2u);
    EXPECT_EQ(t->items[0].id, 1019);
    EXPECT_EQ(t->items[0].className, "msctls_progress32");
    EXPECT_NE(t->items[0].style & PBS_SMOOTH, 0u);
    EXPECT_EQ(t->items[1].id, 1024);
    EXPECT_EQ(t->items[1].style & PBS_SMOOTH, 0u);
    EXPECT_EQ(t->items[1].cy, 10);
}

class ProgressTest : public AggregationTest {};

TEST_F(ProgressTest, CreatedHiddenWithBothBarsBound)
{
    EXPECT_FALSE(dlg_->IsWindowVisible());
    EXPECT_NE(dlg_->m_ctlMainProgress.GetSafeHwnd(), nullptr);
    EXPECT_NE(dlg_->m_ctlSubProgress.GetSafeHwnd(), nullptr);
    EXPECT_NE(dlg_->m_ctlMainProgress.GetSafeHwnd(), dlg_->m_ctlSubProgress.GetSafeHwnd());
}

TEST_F(ProgressTest, MainBarOverTheRunsThreeCalls)
{
    dlg_->ShowWindow(SW_SHOW);
    dlg_->InitProgress();
    int low = -1, high = -1;
    dlg_->m_ctlMainProgress.GetRange(low, high);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 1000);
    dlg_->AdvanceProgress(0, 250);
    EXPECT_EQ(dlg_->m_ctlMainProgress.GetPos(), 251);
    CString caption;
    dlg_->GetWindowText(caption);
    EXPECT_STREQ(caption, "集計中 25％");
    dlg_->AdvanceProgress(5, 4);  // nothing
    EXPECT_EQ(dlg_->m_ctlMainProgress.GetPos(), 251);
    dlg_->AdvanceProgress(250, 750);
    dlg_->GetWindowText(caption);
    EXPECT_STREQ(caption, "集計中 75％");
    dlg_->AdvanceProgress(750, 1000);
    EXPECT_EQ(dlg_->m_ctlMainProgress.GetPos(), 1000);
    dlg_->GetWindowText(caption);
    EXPECT_STREQ(caption, "集計中 100％");
    // Each step runs the sub-step bar through its range.
    EXPECT_EQ(dlg_->m_ctlSubProgress.GetPos(), 10);
    dlg_->EndProgress();
    EXPECT_FALSE(dlg_->IsWindowVisible());
}

TEST_F(ProgressTest, SubStepTicksCycleFromTheCounter)
{
    dlg_->CycleSubProgress();
    EXPECT_EQ(dlg_->m_ctlSubProgress.GetPos(), 10);
    dlg_->m_nSubStep = 10;
    dlg_->StepSubProgress();  // a new cycle: back to 0, one step
    EXPECT_EQ(dlg_->m_nSubStep, 0);
    EXPECT_EQ(dlg_->m_ctlSubProgress.GetPos(), 1);
    for (int i = 1; i <= 10; ++i) {
        dlg_->StepSubProgress();
        EXPECT_EQ(dlg_->m_nSubStep, i);
    }
    EXPECT_EQ(dlg_->m_ctlSubProgress.GetPos(), 10);
    dlg_->StepSubProgress();
    EXPECT_EQ(dlg_->m_ctlSubProgress.GetPos(), 1);
}

TEST_F(ProgressTest, AccountListEndsWithTheSubStepBarFull)
{
    AddAccount(1, 0x40884400);
    AddAccount(2, 0x40844080);  // individual's list only
    AddAccount(3, 0x20400000, 1, 1);
    AddAccount(4, 0x12345678);
    dlg_->CycleSubProgress();
    dlg_->BuildKamokuList(2);
    ASSERT_EQ(dlg_->m_kamokuList.size(), 1u);
    EXPECT_EQ(dlg_->m_kamokuList.front().lKamokuCode, 1);
    EXPECT_EQ(dlg_->m_nSubStep, 10);
    EXPECT_EQ(dlg_->m_ctlSubProgress.GetPos(), 10);
    dlg_->BuildKamokuList(3);
    EXPECT_EQ(dlg_->m_kamokuList.size(), 2u);
    dlg_->BuildKamokuList(7);  // no such list: empty, not every account
    EXPECT_TRUE(dlg_->m_kamokuList.empty());
    dlg_->BuildKamokuList(3);
    dlg_->DestroyWindow();  // the window's end empties the list
    EXPECT_TRUE(dlg_->m_kamokuList.empty());
}

// A dialog that never made a rule object is destroyed without one; one that
// made them all deletes each once (the sanitizer build checks the rest).
TEST_F(ProgressTest, RuleObjectsLiveUntilTheDialogGoes)
{
    { CAddTaxDlg unused; }
    StTAXREPORTRATEINFO rates[15] = {};
    StTAXREPORTBUSINESSTYPEINFO kinds[30] = {};
    ASSERT_EQ(dlg_->SumTaxShinkoku(rates, kinds, 0), 1);
    AccumBlock b[4];
    __int64 k = 0, d = 0;
    const StDATAINFO data = Data();
    const StSHOHIZEIINFO settings = Settings();
    ASSERT_EQ(dlg_->SumKanpuHojin(&b[0], &b[1], &b[2], &b[3], &k, &d, &data, &settings), 1);
    EXPECT_NE(dlg_->m_pRuleShohizeiShinkoku, nullptr);
    EXPECT_NE(dlg_->m_pRuleShiwake, nullptr);
    EXPECT_NE(dlg_->m_pRuleKamoku, nullptr);
    EXPECT_NE(dlg_->m_pRuleGenkashokyaku, nullptr);
    dlg_.reset();
}

// A million records tick the sub-step bar a million times; shown under the
// script backend, that must stay a small part of a run.
TEST_F(ProgressTest, PerRecordTicksCostNextToNothing)
{
    dlg_->ShowWindow(SW_SHOW);
    dlg_->CycleSubProgress();
    const int ticks = 1000000;
    timespec t0{}, t1{};
    clock_gettime(CLOCK_MONOTONIC, &t0);
    for (int i = 0; i < ticks; ++i)
        dlg_->StepSubProgress();
    clock_gettime(CLOCK_MONOTONIC, &t1);
    const double seconds = (t1.tv_sec - t0.tv_sec) + (t1.tv_nsec - t0.tv_nsec) / 1e9;
    RecordProperty("seconds_for_1000000_ticks", std::to_string(seconds));
    EXPECT_LT(seconds, 5.0);
        // The counter runs 0 to 10 and the bar one ahead of it, held at its end.
    EXPECT_EQ(dlg_->m_nSubStep, ticks % 11);
    EXPECT_EQ(dlg_->m_ctlSubProgress.GetPos(), std::min(ticks % 11 + 1, 10));
}

} // namespace
