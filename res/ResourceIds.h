// Resource and control ids of the program's dialogs.
#pragma once

// The application's icon; each edition unit registers its own.
#define IDR_MAINFRAME 128

// The conditions dialog.
#define IDD_SHUKEIJOKEN 130

#define IDC_LBL_COMPANY 1000      // "事業所名"
#define IDC_LBL_PERIOD 1001       // "会計期間"
#define IDC_LBL_KAZEI 1002        // "消費税申告区分"
#define IDC_LBL_DETAIL 1003       // detail label, replaced at run time
#define IDC_LBL_SHUKEIKIKAN 1004  // "集計期間"
#define IDC_BTN_EXECUTE 1005      // 実行
#define IDC_BTN_CANCEL 1006       // キャンセル
#define IDC_GRP_OUTPUT 1007
#define IDC_EDT_OUTPUTPATH 1008
#define IDC_BTN_BROWSE 1009
#define IDC_STC_COMPANY 1010
#define IDC_STC_PERIOD 1011
#define IDC_STC_KAZEI 1012
#define IDC_STC_DETAIL 1013
#define IDC_EDT_STARTMONTH 1014
#define IDC_STC_STARTUNIT 1015
#define IDC_EDT_ENDMONTH 1016
#define IDC_STC_ENDUNIT 1017
#define IDC_STC_TILDE 1018
#define IDC_RDO_SHUKEIKIKAN 1029  // mode 0: aggregate journal entries
#define IDC_GRP_SHUKEIHOUHOU 1030
#define IDC_RDO_SEIHINVALUE 1031  // mode 1: saved tax-return values
#define IDC_PIC_TOOLTIP 1032
#define IDC_GRP_URIAGE 1033
#define IDC_RDO_URIAGE_TSUMIAGE 1034
#define IDC_RDO_URIAGE_WARIMODOSHI 1035
#define IDC_GRP_SHIIRE 1036
#define IDC_RDO_SHIIRE_TSUMIAGE 1037
#define IDC_RDO_SHIIRE_WARIMODOSHI 1038
#define IDC_CHK_NIWARI 1039

// Registers the conditions dialog's template (once; later calls do nothing).
// The dialog calls it before it is created, which also makes sure the
// template's unit is linked into every program that uses the dialog.
void RegisterConditionsDialogTemplate();
