// DATA from the values saved in the consumption-tax return screen.
//
// The saved record holds its amounts in blocks, one block per rate and kind
// of figure; the table below gives the byte offset of each block's first
// amount. Only the half of DATA that matches the dataset's current taxation
// kind carries amounts.
//
// Decisions of this program: the 20-fold securities amount and the _KANBEN
// sums never wrap. A product or a sum that leaves the raw range throws the
// integer -1 (the amount type's refusal), which ends the run with its
// overflow message and result 2. A sum whose element is written empty is not
// formed at all, so an absurd amount that is not written cannot stop the run.
#include "report/DataFromSaveInfo.h"

#include "app/Kingaku.h"
#include "report/CXmlWriter.h"
#include "report/DataFromShiwake.h"
#include "report/DataLayout.h"
#include "report/KanpuWriters.h"
#include "report/LinkLevels.h"
#include "report/RecordFields.h"
#include "report/TagNameTable.h"
#include "suite/SuiteRecords.h"

#include <cstddef>
#include <cstring>

namespace {

constexpr int kNone = -1;

// Offset of each block's first amount, per rate (10 %, reduced 8 %, 8 %, 5 %,
// 3 %).
struct SaveBlocks {
    int sales[5];            // 12 amounts
    int purchases[5];        // 37 amounts
    int badDebts[5];         // 6
    int kaniSales15[5];      // business kinds 1 to 5, 15 amounts
    int kaniSales6[5];       // business kind 6, 3
    int kaniReturns15[5];
    int kaniReturns6[5];
    int invoice80[5];        // 18
    int invoice50[5];        // 18
    int adjustments1[5];     // 3
    int adjustments2[5];     // 2
    int rental[5];           // 1
    int tokutei[5];          // 6
    int importLocal[5];      // 2
};

constexpr SaveBlocks kBlocks = {
    {12611, 14340, 12515, 573, 669},
    {13003, 14436, 12707, 765, 1061},
    {13347, 14772, 13299, 1357, 1405},
    {13515, 14820, 13395, 1453, 1573},
    {14091, 14940, 14067, 14043, 14019},
    {13755, 14964, 13635, 1693, 1813},
    {14187, 15084, 14163, 14139, 14115},
    {17933, 17789, 17645, 17501, 17357},
    {18653, 18509, 18365, 18221, 18077},
    {12491, 14748, 12467, 485, 509},
    {13971, 15156, 13955, 2068, 2084},
    {17118, 17126, 17110, 17102, 17094},
    {14291, kNone, 14243, kNone, kNone},
    {14003, 14732, 13987, kNone, kNone},
};

// The taxable sales of the exempt period, outside the blocks.
constexpr int kMenzeiKikanKazeiUriage = 17349;

// Within the sales block.
constexpr int kSalesKazei = 0;
constexpr int kSalesMenzei = 24;
constexpr int kSalesYuuka = 32;
constexpr int kSalesYuukaIgai = 40;
constexpr int kSalesHenkan = 48;
constexpr int kSalesMenzeiHenkan = 72;
constexpr int kSalesHikazeiHenkan = 80;
constexpr int kSalesShisanYushutsu = 88;
// Within the purchases block.
constexpr int kPurchaseReturns = 152;
constexpr int kPurchaseImport = 80;
constexpr int kPurchaseImportReturns = 232;
constexpr int kClassStride = 24;
// Within an invoice block: the six classes, returns from the fourth.
constexpr int kInvoiceReturns = 72;

// The saved record's taxation kind, 1 = 原則課税.
constexpr int kSavedKazeiKubun = offsetof(StSaveTaxInfo, byKazeiKubun);

}  // namespace

namespace linkfile {

__int64 MulRawBy20(__int64 llRaw)
{
    const ClKingaku product = ClKingaku::MulInt(ClKingaku::FromRaw(llRaw), 20);
    return product.ToRawOrThrow();
}

int WriteDataFromSaveInfo(CXmlWriter* pWriter, const RunFigures& figures, const StDATAINFO* pDataInfo,
                          int bNiwariTokurei, int nUriageHoushiki, int nShiireHoushiki)
{
    char line[CXmlWriter::kLineBufferSize] = {};
    if (!pWriter->WriteStartElement(line, "DATA", linklevel::kSection)) {
        return 0;
    }
    // Without the saved values there is nothing this section could write.
    const BYTE* save = figures.pSaveTaxInfo;
    if (save == nullptr) {
        return 0;
    }
    auto amount = [save](int offset) { return packed::AmountAt(save, offset); };

    const bool bGeneral = (figures.nKazeiKubun == 2);
    const bool bSavedGeneral = (save[kSavedKazeiKubun] == 1);
    const bool bSalesTsumiage = (static_cast<BYTE>(nUriageHoushiki) == 1);
    const bool bPurchaseTsumiage = (bNiwariTokurei != 0 && bSavedGeneral)
                                       ? bSalesTsumiage
                                       : (static_cast<BYTE>(nShiireHoushiki) == 1);

    DataLayout::Slot slots[DataLayout::kMaxSlots];
    for (int form = 0; form < kTagFormCount; ++form) {
        const TagForm& tagForm = TagFormTable[form];
        const int rate = DataLayout::RateOf(form);
        const DataLayout::FormKind formKind = DataLayout::KindOf(form);
        // The general forms are D020114 to D02300, the simplified-taxation
        // forms D020214 to D02400; only one half carries amounts.
        const bool bHalf = (formKind <= DataLayout::MenzeiKikanGeneral) ? bGeneral : !bGeneral;

        if (!pWriter->WriteStartElement(line, tagForm.code, linklevel::kForm)) {
            return 0;
        }
        const int count = DataLayout::Slots(form, slots);
        for (int i = 0; i < count; ++i) {
            const DataLayout::Slot& slot = slots[i];
            const int part = slot.part;
            const bool bSalesCarries = bHalf && ((slot.method == DataLayout::Tsumiage) == bSalesTsumiage);
            const bool bPurchaseCarries = bHalf && ((slot.method == DataLayout::Tsumiage) == bPurchaseTsumiage);

            bool bNever = false;      // written empty, no amount at all
            bool bCarries = bHalf;    // the condition of the element
            int offset = kNone;       // the stored amount, when one stands for it
            bool bTimes20 = false;
            bool bKanben = false;
            int kanbenClass = 0;

            switch (slot.family) {
            case DataLayout::KazeiUriage:
                offset = kBlocks.sales[rate] + kSalesKazei + 8 * part;
                bCarries = bSalesCarries;
                break;
            case DataLayout::KazeiUriageHenkan:
                offset = kBlocks.sales[rate] + kSalesHenkan + 8 * part;
                bCarries = bSalesCarries;
                break;
            case DataLayout::MenzeiUriage:
                offset = kBlocks.sales[rate] + kSalesMenzei;
                break;
            case DataLayout::HikazeiYuuka:
                offset = kBlocks.sales[rate] + kSalesYuuka;
                bTimes20 = true;
                break;
            case DataLayout::HikazeiYuukaIgai:
                offset = kBlocks.sales[rate] + kSalesYuukaIgai;
                break;
            case DataLayout::HikazeiShisanYushutsu:
                offset = kBlocks.sales[rate] + kSalesShisanYushutsu;
                break;
            case DataLayout::MenzeiUriageHenkan:
                offset = kBlocks.sales[rate] + kSalesMenzeiHenkan;
                break;
            case DataLayout::HikazeiUriageHenkan:
                offset = kBlocks.sales[rate] + kSalesHikazeiHenkan;
                break;
            case DataLayout::Shiire: {
                const int invoiceClass = (slot.henkan ? kInvoiceReturns : 0) + kClassStride * slot.cls;
                switch (slot.method) {
                case DataLayout::Tsumiage:
                case DataLayout::Warimodoshi:
                    offset = kBlocks.purchases[rate] + (slot.henkan ? kPurchaseReturns : 0) +
                             kClassStride * slot.cls + 8 * part;
                    bCarries = bPurchaseCarries;
                    break;
                case DataLayout::InvoiceKanben:
                    bKanben = true;
                    kanbenClass = invoiceClass;
                    bCarries = bHalf && bPurchaseTsumiage;
                    break;
                case DataLayout::Invoice80:
                case DataLayout::Invoice50:
                    offset = (slot.method == DataLayout::Invoice80 ? kBlocks.invoice80[rate] : kBlocks.invoice50[rate]) +
                             invoiceClass + 8 * part;
                    bCarries = bHalf && (part == DataLayout::Zeikomi || !bPurchaseTsumiage);
                    break;
                default:
                    bNever = true;  // _GENSOKU
                    break;
                }
                break;
            }
            case DataLayout::TokuteiShiire:
                offset = kBlocks.tokutei[rate] + (slot.henkan ? 24 : 0) + 8 * slot.cls;
                break;
            case DataLayout::YunyuShiire:
                offset = kBlocks.purchases[rate] + (slot.henkan ? kPurchaseImportReturns : kPurchaseImport) +
                         kClassStride * slot.cls;
                break;
            case DataLayout::YunyuTiho:
                offset = kBlocks.importLocal[rate] + (slot.henkan ? 8 : 0);
                break;
            case DataLayout::Kashidaore:
                offset = kBlocks.badDebts[rate] + 8 * part;
                bCarries = bSalesCarries;
                break;
            case DataLayout::KashidaoreKaishu:
                offset = kBlocks.badDebts[rate] + 24 + 8 * part;
                bCarries = bSalesCarries;
                break;
            case DataLayout::GimuMenjo:
                offset = slot.cls == DataLayout::Kazei ? kBlocks.adjustments1[rate]
                                                       : kBlocks.adjustments2[rate] + 8 * (slot.cls - 1);
                break;
            case DataLayout::KazeiUriageWariaiHendo:
                offset = kBlocks.adjustments1[rate] + 8;
                break;
            case DataLayout::KazeiGyomuyoTenyo:
                offset = kBlocks.adjustments1[rate] + 16;
                break;
            case DataLayout::KyojuyoChintai:
                offset = kBlocks.rental[rate];
                break;
            case DataLayout::MenzeiKikanKazeiUriage:
                offset = kMenzeiKikanKazeiUriage;
                bCarries = bHalf && (bGeneral ? bSavedGeneral : !bSavedGeneral);
                break;
            case DataLayout::KaniUriage:
            case DataLayout::KaniHenkan: {
                if (slot.kind == 0) {
                    bNever = true;  // ZERO has no saved amount
                    break;
                }
                const bool bSales = slot.family == DataLayout::KaniUriage;
                if (slot.kind <= 5) {
                    offset = (bSales ? kBlocks.kaniSales15[rate] : kBlocks.kaniReturns15[rate]) + 24 * (slot.kind - 1);
                } else {
                    offset = bSales ? kBlocks.kaniSales6[rate] : kBlocks.kaniReturns6[rate];
                }
                offset += 8 * part;
                bCarries = bSalesCarries;
                break;
            }
            default:
                bNever = true;  // HIKAZEISHISANHENKANZEINUKI
                break;
            }

            const char* name = TagNameTable[tagForm.first + i];
            int ok;
            if (bNever) {
                ok = pWriter->WriteElement(line, name, "", linklevel::kFormValue);
            } else if (!bCarries) {
                ok = WriteKingakuElement(pWriter, line, name, 0, 1, figures.nHasuMode);
            } else {
                __int64 raw;
                if (bKanben) {
                    // On raw amounts, rounded once: ZEIGAKU (80 %) + ZEIGAKU
                    // (50 %), or ZEINUKI and ZEIGAKU of both.
                    const int b80 = kBlocks.invoice80[rate] + kanbenClass;
                    const int b50 = kBlocks.invoice50[rate] + kanbenClass;
                    ClKingaku sum;
                    if (part == DataLayout::Zeikomi) {
                        sum = ClKingaku::FromRaw(amount(b80));
                        sum = ClKingaku::Add(sum, ClKingaku::FromRaw(amount(b80 + 8)));
                        sum = ClKingaku::Add(sum, ClKingaku::FromRaw(amount(b50)));
                        sum = ClKingaku::Add(sum, ClKingaku::FromRaw(amount(b50 + 8)));
                    } else {
                        sum = ClKingaku::FromRaw(amount(b80 + 8));
                        sum = ClKingaku::Add(sum, ClKingaku::FromRaw(amount(b50 + 8)));
                    }
                    raw = sum.ToRawOrThrow();
                } else if (bTimes20) {
                    raw = MulRawBy20(amount(offset));
                } else {
                    raw = amount(offset);
                }
                ok = WriteKingakuElement(pWriter, line, name, raw, 0, figures.nHasuMode);
            }
            if (!ok) {
                return 0;
            }
        }
        if (!pWriter->WriteEndElement(line, tagForm.code, linklevel::kForm)) {
            return 0;
        }
    }

    if (!WriteKanpuHFromSaveInfo(pWriter, figures, pDataInfo) || !WriteKanpuKFromSaveInfo(pWriter, figures, pDataInfo)) {
        return 0;
    }
    return pWriter->WriteEndElement(line, "DATA", linklevel::kSection) ? 1 : 0;
}

}  // namespace linkfile
