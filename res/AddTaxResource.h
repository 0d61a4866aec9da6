// Resource and control ids of the progress dialog 「集計中」.
#pragma once

#define IDD_ADDTAX 131

#define IDC_PRG_MAIN 1019  // main bar: the run's 1,000 steps
#define IDC_PRG_SUB 1024   // sub-step bar: 0 to 10, ticked by the passes

// Registers the progress dialog's template (once; later calls do nothing).
// The dialog calls it before it is created, which also makes sure the
// template's unit is linked into every program that uses the dialog.
void RegisterAddTaxDialogTemplate();
