// DATA from the aggregated figures, and the amount element shared by every
// writer of DATA.
//
// The tax summation leaves three groups of five rate records (all entries;
// purchases without a qualified invoice under the 80 % and under the 50 %
// transitional deduction) and six business-kind records per rate. Each value
// element picks a field, a sum or a difference of fields, and carries it only
// under the calculation method it belongs to.
//
// Decisions of this program:
// - The layout covers exactly five rates, and the records are located by the
//   settings' rate count. Settings that report another count cannot be
//   written in this layout; the section then fails right after its start tag,
//   like settings that cannot be read, and the run asks whether to go on. No
//   record outside the fifteen is ever read.
// - The ZERO values (a rate total minus its six business kinds) are exact:
//   the difference is formed in 128 bits, and one that leaves the raw range
//   throws the integer -1, the amount type's own refusal, so that the run
//   ends with its overflow message instead of writing a wrapped figure.
// - The _KANBEN sums add whole yen (each term rounded by itself), which can
//   never leave the 64-bit range; they are written from the yen sum directly.
#include "report/DataFromShiwake.h"

#include "app/YenRounding.h"
#include "report/CXmlWriter.h"
#include "report/DataLayout.h"
#include "report/KanpuWriters.h"
#include "report/LinkLevels.h"
#include "report/RecordFields.h"
#include "report/TagNameTable.h"
#include "suite/ClDataMgr.h"
#include "suite/ClSetMgr.h"
#include "suite/ClSetShohizei.h"
#include "suite/RuleTypes.h"
#include "suite/SuiteRecords.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kLayoutRates = 5;

// An amount element in whole yen; zero is written as empty text.
int WriteYenElement(CXmlWriter* pWriter, LPSTR line, LPCTSTR name, __int64 yen)
{
    char text[32] = {};
    if (yen != 0) {
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(yen));
    }
    return pWriter->WriteElement(line, name, text, linklevel::kFormValue) ? 1 : 0;
}

// The value of one element: nothing, a raw amount to round, or whole yen.
struct Value {
    enum Kind { Empty, Raw, Yen } kind = Empty;
    __int64 amount = 0;
    static Value None() { return Value{}; }
    static Value FromRaw(__int64 raw) { return Value{Raw, raw}; }
    static Value FromYen(__int64 yen) { return Value{Yen, yen}; }
    static Value If(bool carries, __int64 raw) { return carries ? FromRaw(raw) : None(); }
};

// Offsets in the rate record, from the record's own layout.
constexpr int kKazeiUriage = offsetof(StTAXREPORTRATEINFO, llKazeiUriageNuki);
constexpr int kHikazeiYuuka = offsetof(StTAXREPORTRATEINFO, llHikazeiUriageYuka);
constexpr int kMenzeiUriage = offsetof(StTAXREPORTRATEINFO, llMenzeiUriage);
constexpr int kHikazeiSonota = offsetof(StTAXREPORTRATEINFO, llHikazeiUriageSonota);
constexpr int kHikazeiShisanYushutsu = offsetof(StTAXREPORTRATEINFO, llHikazeiShisanYushutsu);
constexpr int kKazeiHenkan = offsetof(StTAXREPORTRATEINFO, llKazeiHenkanNuki);
constexpr int kHikazeiHenkan = offsetof(StTAXREPORTRATEINFO, llHikazeiHenkan);
constexpr int kMenzeiHenkan = offsetof(StTAXREPORTRATEINFO, llMenzeiHenkan);
constexpr int kShiire = offsetof(StTAXREPORTRATEINFO, llShiireKazeiNuki);
constexpr int kShiireHenkan = offsetof(StTAXREPORTRATEINFO, llShiireHenkanKazeiNuki);
constexpr int kYunyuZei = offsetof(StTAXREPORTRATEINFO, llYunyuKazeiZei);
constexpr int kYunyuHenkanZei = offsetof(StTAXREPORTRATEINFO, llYunyuHenkanKazeiZei);
// From one purchase class to the next (taxable, non-taxable, common sales).
constexpr int kClassStride = offsetof(StTAXREPORTRATEINFO, llShiireHikazeiNuki) - kShiire;
constexpr int kKashidaore = offsetof(StTAXREPORTRATEINFO, llKashidaoreNuki);
constexpr int kKashidaoreKaishu = offsetof(StTAXREPORTRATEINFO, llKashidaoreKaishuNuki);
constexpr int kYunyuChiho = offsetof(StTAXREPORTRATEINFO, llYunyuChiho);
constexpr int kYunyuHenkanChiho = offsetof(StTAXREPORTRATEINFO, llYunyuHenkanChiho);
// Offsets in the business-kind record: including tax, tax, excluding tax.
constexpr int kKindUriageKomi = offsetof(StTAXREPORTBUSINESSTYPEINFO, llUriageKomi);
constexpr int kKindHenkanKomi = offsetof(StTAXREPORTBUSINESSTYPEINFO, llHenkanKomi);

// The amounts a value picks by part (ZEINUKI, ZEIGAKU, ZEIKOMI) follow each
// other in this order, and the classes of purchases and of their returns and
// import taxes keep one stride; the kind records run the other way.
static_assert(offsetof(StTAXREPORTRATEINFO, llKazeiUriageKomi) == kKazeiUriage + 16);
static_assert(offsetof(StTAXREPORTRATEINFO, llKazeiHenkanKomi) == kKazeiHenkan + 16);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireKyotuuNuki) == kShiire + 2 * kClassStride);
static_assert(offsetof(StTAXREPORTRATEINFO, llShiireHenkanKyotuuNuki) == kShiireHenkan + 2 * kClassStride);
static_assert(offsetof(StTAXREPORTRATEINFO, llYunyuKyotuuZei) == kYunyuZei + 2 * kClassStride);
static_assert(offsetof(StTAXREPORTRATEINFO, llYunyuHenkanKyotuuZei) == kYunyuHenkanZei + 2 * kClassStride);
static_assert(offsetof(StTAXREPORTRATEINFO, llKashidaoreKomi) == kKashidaore + 16);
static_assert(offsetof(StTAXREPORTRATEINFO, llKashidaoreKaishuKomi) == kKashidaoreKaishu + 16);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, llUriageNuki) == kKindUriageKomi + 16);
static_assert(offsetof(StTAXREPORTBUSINESSTYPEINFO, llHenkanNuki) == kKindHenkanKomi + 16);

}  // namespace

namespace linkfile {

int WriteKingakuElement(CXmlWriter* pWriter, LPSTR lpszLine, LPCTSTR lpszName, __int64 llRaw, int bBlank,
                        BYTE nHasuMode)
{
    return WriteYenElement(pWriter, lpszLine, lpszName, bBlank ? 0 : RoundYen(llRaw, nHasuMode));
}

int WriteDataFromShiwake(CXmlWriter* pWriter, const RunFigures& figures, const StDATAINFO* pDataInfo,
                         const StSHOHIZEIINFO* pShohizeiInfo, BYTE bNiwariTokurei, BYTE nUriageHoushiki,
                         BYTE nShiireHoushiki)
{
    char line[CXmlWriter::kLineBufferSize] = {};
    if (!pWriter->WriteStartElement(line, "DATA", linklevel::kSection)) {
        return 0;
    }
    auto* pSettings =
        static_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(ClSetMgr::SETKIND_SHOHIZEI, 1));
    if (pSettings == nullptr) {
        return 0;
    }
    const short n = static_cast<short>(pSettings->GetTaxRateCount());
    if (n != kLayoutRates || figures.pRateInfo == nullptr || figures.pBusinessTypeInfo == nullptr) {
        return 0;
    }

    // The methods in effect: purchases follow the sales method under
    // 簡易課税 and under the 「2割特例」.
    const BYTE hasu = figures.nHasuMode;
    const bool bSalesTsumiage = (nUriageHoushiki == 1);
    const BYTE nPurchase = (figures.nKazeiKubun == 1 || bNiwariTokurei != 0) ? nUriageHoushiki : nShiireHoushiki;
    const bool bPurchaseTsumiage = (nPurchase == 1);

    DataLayout::Slot slots[DataLayout::kMaxSlots];
    for (int form = 0; form < kTagFormCount; ++form) {
        const TagForm& tagForm = TagFormTable[form];
        const int rate = DataLayout::RateOf(form);
        const StTAXREPORTRATEINFO* g1 = &figures.pRateInfo[rate];
        const StTAXREPORTRATEINFO* g2 = &figures.pRateInfo[n + rate];
        const StTAXREPORTRATEINFO* g3 = &figures.pRateInfo[2 * n + rate];
        const StTAXREPORTBUSINESSTYPEINFO* kinds = &figures.pBusinessTypeInfo[rate * 6];

        if (!pWriter->WriteStartElement(line, tagForm.code, linklevel::kForm)) {
            return 0;
        }
        const int count = DataLayout::Slots(form, slots);
        for (int i = 0; i < count; ++i) {
            const DataLayout::Slot& slot = slots[i];
            const int part = slot.part;
            // Which of the 積み上げ / 割り戻し pair carries the figure.
            const bool bSalesCarries = (slot.method == DataLayout::Tsumiage) == bSalesTsumiage;
            const bool bPurchaseCarries = (slot.method == DataLayout::Tsumiage) == bPurchaseTsumiage;

            Value value;
            switch (slot.family) {
            case DataLayout::KazeiUriage:
                value = Value::If(bSalesCarries, packed::AmountAt(g1, kKazeiUriage + 8 * part));
                break;
            case DataLayout::KazeiUriageHenkan:
                value = Value::If(bSalesCarries, packed::AmountAt(g1, kKazeiHenkan + 8 * part));
                break;
            case DataLayout::MenzeiUriage:
                value = Value::FromRaw(packed::AmountAt(g1, kMenzeiUriage));
                break;
            case DataLayout::HikazeiYuuka:
                value = Value::FromRaw(packed::AmountAt(g1, kHikazeiYuuka));
                break;
            case DataLayout::HikazeiYuukaIgai:
                value = Value::FromRaw(packed::AmountAt(g1, kHikazeiSonota));
                break;
            case DataLayout::HikazeiShisanYushutsu:
                value = Value::FromRaw(packed::AmountAt(g1, kHikazeiShisanYushutsu));
                break;
            case DataLayout::MenzeiUriageHenkan:
                value = Value::FromRaw(packed::AmountAt(g1, kMenzeiHenkan));
                break;
            case DataLayout::HikazeiUriageHenkan:
                value = Value::FromRaw(packed::AmountAt(g1, kHikazeiHenkan));
                break;
            case DataLayout::Shiire: {
                const int cls = (slot.henkan ? kShiireHenkan : kShiire) + kClassStride * slot.cls;
                switch (slot.method) {
                case DataLayout::Tsumiage:
                case DataLayout::Warimodoshi:
                    value = Value::If(bPurchaseCarries, packed::AmountAt(g1, cls + 8 * part));
                    break;
                case DataLayout::InvoiceKanben:
                    if (bPurchaseTsumiage) {
                        // Each term in whole yen before it is added.
                        auto yenAt = [hasu](const StTAXREPORTRATEINFO* rec, int offset) {
                            return RoundYen(packed::AmountAt(rec, offset), hasu);
                        };
                        __int64 yen = yenAt(g3, cls + 8) + yenAt(g2, cls + 8);
                        if (part == DataLayout::Zeikomi) {
                            yen = yenAt(g3, cls + 8) + yenAt(g3, cls) + yenAt(g2, cls + 8) + yenAt(g2, cls);
                        }
                        value = Value::FromYen(yen);
                    }
                    break;
                case DataLayout::Invoice80:
                case DataLayout::Invoice50: {
                    const StTAXREPORTRATEINFO* group = slot.method == DataLayout::Invoice80 ? g2 : g3;
                    value = Value::If(part == DataLayout::Zeikomi || !bPurchaseTsumiage,
                                      packed::AmountAt(group, cls + 8 * part));
                    break;
                }
                default:
                    break;  // _GENSOKU: never
                }
                break;
            }
            case DataLayout::YunyuShiire:
                value = Value::FromRaw(packed::AmountAt(g1, (slot.henkan ? kYunyuHenkanZei : kYunyuZei) + kClassStride * slot.cls));
                break;
            case DataLayout::YunyuTiho:
                value = Value::FromRaw(packed::AmountAt(g1, slot.henkan ? kYunyuHenkanChiho : kYunyuChiho));
                break;
            case DataLayout::Kashidaore:
                value = Value::If(bSalesCarries, packed::AmountAt(g1, kKashidaore + 8 * part));
                break;
            case DataLayout::KashidaoreKaishu:
                value = Value::If(bSalesCarries, packed::AmountAt(g1, kKashidaoreKaishu + 8 * part));
                break;
            case DataLayout::KaniUriage:
            case DataLayout::KaniHenkan: {
                const bool bSales = slot.family == DataLayout::KaniUriage;
                // Kind records hold including tax, tax, excluding tax in this
                // order: the part counts backwards from ZEIKOMI.
                const int kindOffset = (bSales ? kKindUriageKomi : kKindHenkanKomi) + 8 * (2 - part);
                if (!bSalesCarries) {
                    break;
                }
                if (slot.kind != 0) {
                    value = Value::FromRaw(packed::AmountAt(&kinds[slot.kind - 1], kindOffset));
                    break;
                }
                // ZERO: the rate total less the six kinds, on raw amounts.
                __int128 rest = packed::AmountAt(g1, (bSales ? kKazeiUriage : kKazeiHenkan) + 8 * part);
                for (int k = 0; k < 6; ++k) {
                    rest -= packed::AmountAt(&kinds[k], kindOffset);
                }
                if (rest > INT64_MAX || rest < INT64_MIN) {
                    throw -1;
                }
                value = Value::FromRaw(static_cast<__int64>(rest));
                break;
            }
            default:
                // HikazeiShisanHenkan, TokuteiShiire, list D and
                // MENZEIKIKANKAZEIURIAGE carry nothing in this mode.
                break;
            }

            const char* name = TagNameTable[tagForm.first + i];
            int ok;
            if (value.kind == Value::Yen) {
                ok = WriteYenElement(pWriter, line, name, value.amount);
            } else {
                ok = WriteKingakuElement(pWriter, line, name, value.amount, value.kind == Value::Empty, hasu);
            }
            if (!ok) {
                return 0;
            }
        }
        if (!pWriter->WriteEndElement(line, tagForm.code, linklevel::kForm)) {
            return 0;
        }
    }

    if (!WriteKanpuH(pWriter, figures, pDataInfo, pShohizeiInfo) ||
        !WriteKanpuK(pWriter, figures, pDataInfo, pShohizeiInfo)) {
        return 0;
    }
    return pWriter->WriteEndElement(line, "DATA", linklevel::kSection) ? 1 : 0;
}

}  // namespace linkfile
