// Dialog template 131: the progress dialog 「集計中」.
//
// No system menu, so no close box: the run ends the dialog itself. It is not
// visible at creation; the run shows it when the aggregation begins.
#include "res/AddTaxResource.h"

#include "mfc/DialogTemplate.h"

namespace {

DialogItem Bar(int id, DWORD style, DWORD exStyle, int x, int y, int cx, int cy)
{
    return MakeDialogItem(id, "msctls_progress32", "Progress1", style, x, y, cx, cy, exStyle);
}

DialogTemplate MakeTemplate()
{
    DialogTemplate t;
    t.id = IDD_ADDTAX;
    t.caption = "集計中";
    t.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SYSMODAL | DS_SETFONT;
    t.fontName = "ＭＳ Ｐゴシック";
    t.fontSize = 9;
    t.x = 0;
    t.y = 0;
    t.cx = 221;
    t.cy = 44;
    t.items.push_back(Bar(IDC_PRG_MAIN, WS_BORDER | PBS_SMOOTH, WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, 5, 6, 211, 22));
    t.items.push_back(Bar(IDC_PRG_SUB, WS_BORDER, WS_EX_STATICEDGE, 5, 29, 211, 10));
    return t;
}

} // namespace

void RegisterAddTaxDialogTemplate()
{
    static const ResourceDialog registered(MakeTemplate());
    (void)registered;
}
