// Dialog template 130: the conditions dialog "消費税 - 集計条件".
//
// No control starts disabled, none is a default push button, and no control
// has the id IDOK or IDCANCEL: the dialog ends only through 実行 and
// キャンセル (and Esc or the close box, which send the cancel command).
#include "res/ResourceIds.h"

#include "mfc/DialogTemplate.h"

namespace {

// Static texts are centred vertically.
const DWORD kLabel = SS_LEFT | SS_CENTERIMAGE;
const DWORD kColon = SS_RIGHT | SS_CENTERIMAGE;
const DWORD kCentred = SS_CENTER | SS_CENTERIMAGE;

DialogItem Static(int id, const char* text, DWORD style, int x, int y, int cx, int cy)
{
    return MakeDialogItem(id, "STATIC", text, style, x, y, cx, cy);
}

DialogItem Button(int id, const char* text, DWORD style, int x, int y, int cx, int cy)
{
    return MakeDialogItem(id, "BUTTON", text, style, x, y, cx, cy);
}

DialogItem Edit(int id, DWORD style, int x, int y, int cx, int cy, DWORD exStyle = 0)
{
    return MakeDialogItem(id, "EDIT", "", style, x, y, cx, cy, exStyle);
}

DialogTemplate MakeTemplate()
{
    DialogTemplate t;
    t.id = IDD_SHUKEIJOKEN;
    t.caption = "消費税 - 集計条件";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.fontName = "ＭＳ Ｐゴシック";
    t.fontSize = 9;
    t.cx = 255;
    t.cy = 297;

    auto& c = t.items;
    c.push_back(Static(IDC_LBL_COMPANY, "事業所名", kLabel, 7, 7, 56, 12));
    c.push_back(Static(IDC_STATIC, "：", kColon, 65, 7, 9, 12));
    c.push_back(Static(IDC_STC_COMPANY, "××××××××××××××××××××", kLabel, 79, 7, 169, 12));
    c.push_back(Static(IDC_LBL_PERIOD, "会計期間", kLabel, 7, 27, 56, 12));
    c.push_back(Static(IDC_STATIC, "：", kColon, 65, 27, 9, 12));
    c.push_back(Static(IDC_STC_PERIOD, "2001/01/01～2001/12/31", kLabel, 79, 27, 169, 12));
    c.push_back(Static(IDC_LBL_KAZEI, "消費税申告区分", kLabel, 7, 47, 56, 12));
    c.push_back(Static(IDC_STATIC, "：", kColon, 65, 47, 9, 12));
    c.push_back(Static(IDC_STC_KAZEI, "××××", kLabel, 79, 47, 169, 12));
    c.push_back(Static(IDC_LBL_DETAIL, "課税仕入控除○○", kLabel, 7, 67, 56, 12));
    c.push_back(Static(IDC_STATIC, "：", kColon, 65, 67, 9, 12));
    c.push_back(Static(IDC_STC_DETAIL, "××××××××", kLabel, 79, 67, 169, 12));

    c.push_back(Button(IDC_GRP_SHUKEIHOUHOU, "集計方法", BS_GROUPBOX, 5, 88, 241, 45));
    c.push_back(Button(IDC_RDO_SHUKEIKIKAN, "集計期間を指定して仕訳を集計する(&N)",
                       BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 13, 100, 136, 10));
    c.push_back(Button(IDC_RDO_SEIHINVALUE, "連動元製品の[消費税申告書作成]で入力した値を使用する(&P)",
                       BS_AUTORADIOBUTTON | WS_TABSTOP, 13, 115, 193, 10));
    c.push_back(Static(IDC_PIC_TOOLTIP, "", SS_BITMAP, 210, 114, 13, 14));

    c.push_back(Static(IDC_LBL_SHUKEIKIKAN, "集計期間", kLabel, 7, 141, 56, 12));
    c.push_back(Static(IDC_STATIC, "：", kColon, 65, 141, 9, 12));
    c.push_back(Edit(IDC_EDT_STARTMONTH, ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP, 79, 141, 18, 12));
    c.push_back(Static(IDC_STC_STARTUNIT, "月度(&S)", kLabel, 99, 141, 25, 12));
    c.push_back(Static(IDC_STC_TILDE, "～", kCentred, 124, 141, 12, 12));
    c.push_back(Edit(IDC_EDT_ENDMONTH, ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP, 137, 141, 18, 12));
    c.push_back(Static(IDC_STC_ENDUNIT, "月度(&E)", kLabel, 157, 141, 25, 12));

    c.push_back(Button(IDC_GRP_URIAGE, "売上の消費税", BS_GROUPBOX, 5, 161, 102, 47));
    c.push_back(Button(IDC_RDO_URIAGE_WARIMODOSHI, "割り戻し計算を行う(&1)", BS_AUTORADIOBUTTON | WS_GROUP, 16, 173,
                       87, 14));
    c.push_back(Button(IDC_RDO_URIAGE_TSUMIAGE, "積み上げ計算を行う(&2)", BS_AUTORADIOBUTTON, 16, 189, 85, 14));
    c.push_back(Button(IDC_GRP_SHIIRE, "仕入の消費税", BS_GROUPBOX, 119, 161, 102, 47));
    c.push_back(Button(IDC_RDO_SHIIRE_WARIMODOSHI, "割り戻し計算を行う(&3)", BS_AUTORADIOBUTTON | WS_GROUP, 130,
                       173, 87, 14));
    c.push_back(Button(IDC_RDO_SHIIRE_TSUMIAGE, "積み上げ計算を行う(&4)", BS_AUTORADIOBUTTON, 130, 189, 85, 14));
    c.push_back(Button(IDC_CHK_NIWARI, "「2割特例」を適用して消費税の申告をする(&R)", BS_AUTOCHECKBOX | WS_TABSTOP, 7,
                       217, 152, 10));

    c.push_back(Button(IDC_GRP_OUTPUT, "出力先(&O)", BS_GROUPBOX, 5, 235, 241, 35));
    c.push_back(Edit(IDC_EDT_OUTPUTPATH, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 9, 250, 171, 12,
                     WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
    c.push_back(Button(IDC_BTN_BROWSE, "参照(&D)...", BS_PUSHBUTTON | WS_TABSTOP, 185, 249, 57, 14));
    c.push_back(Button(IDC_BTN_EXECUTE, "実行(F12)", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 127, 276, 57, 14));
    c.push_back(Button(IDC_BTN_CANCEL, "キャンセル(Esc)", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 189, 276, 57, 14));
    return t;
}

}  // namespace

void RegisterConditionsDialogTemplate()
{
    static const ResourceDialog registered(MakeTemplate());
    (void)registered;
}
