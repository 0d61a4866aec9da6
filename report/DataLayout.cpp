// The meaning of every value element of DATA. See DataLayout.h.
#include "report/DataLayout.h"

#include <initializer_list>

namespace {

using S = DataLayout::Slot;
using F = DataLayout::Family;
using M = DataLayout::Method;
using P = DataLayout::Part;
using C = DataLayout::Class;

enum : int { kRate10 = 0, kRate8K = 1, kRate8 = 2, kRate5 = 3, kRate3 = 4 };

class SlotList {
public:
    explicit SlotList(S* out) : out_(out) {}
    void Add(F family, M method = M::None, P part = P::Zeinuki, C cls = C::Kazei, bool henkan = false,
             uint8_t kind = 0)
    {
        out_[n_++] = S{family, method, part, cls, henkan, kind};
    }
    // ZEINUKI, ZEIGAKU, ZEIKOMI of one figure under one method.
    void Triple(F family, M method, C cls = C::Kazei, bool henkan = false, uint8_t kind = 0)
    {
        for (P part : {P::Zeinuki, P::Zeigaku, P::Zeikomi}) {
            Add(family, method, part, cls, henkan, kind);
        }
    }
    // The triple under 積み上げ, then under 割り戻し.
    void Pair(F family, C cls = C::Kazei, bool henkan = false, uint8_t kind = 0)
    {
        Triple(family, M::Tsumiage, cls, henkan, kind);
        Triple(family, M::Warimodoshi, cls, henkan, kind);
    }
    int Count() const { return n_; }

private:
    S* out_;
    int n_ = 0;
};

constexpr C kClasses[] = {C::Kazei, C::Hikazei, C::Kyotuu};

// Runs 1 to 7 of the purchases, or of their returns.
void PurchaseRuns(SlotList& list, int rate, bool henkan)
{
    for (M method : {M::Tsumiage, M::Warimodoshi}) {
        for (C cls : kClasses) {
            list.Triple(F::Shiire, method, cls, henkan);
        }
    }
    // Without a qualified invoice under 積み上げ: no ZEINUKI names.
    for (M method : {M::InvoiceGensoku, M::InvoiceKanben}) {
        for (C cls : kClasses) {
            list.Add(F::Shiire, method, P::Zeigaku, cls, henkan);
            list.Add(F::Shiire, method, P::Zeikomi, cls, henkan);
        }
    }
    for (M method : {M::Invoice80, M::Invoice50}) {
        for (C cls : kClasses) {
            list.Triple(F::Shiire, method, cls, henkan);
        }
    }
    // Specified purchases exist at 10 % and 8 % only, imports also at the
    // reduced 8 %.
    if (rate == kRate10 || rate == kRate8) {
        for (C cls : kClasses) {
            list.Add(F::TokuteiShiire, M::None, P::Zeinuki, cls, henkan);
        }
    }
    if (rate == kRate10 || rate == kRate8K || rate == kRate8) {
        for (C cls : kClasses) {
            list.Add(F::YunyuShiire, M::None, P::Zeigaku, cls, henkan);
        }
        list.Add(F::YunyuTiho, M::None, P::Zeigaku, C::Kazei, henkan);
    }
}

void BadDebts(SlotList& list)
{
    list.Pair(F::Kashidaore);
    list.Pair(F::KashidaoreKaishu);
}

}  // namespace

DataLayout::FormKind DataLayout::KindOf(int form)
{
    if (form < 20) return static_cast<FormKind>(form / 5);
    if (form == 20) return MenzeiKikanGeneral;
    if (form < 36) return static_cast<FormKind>(KaniSales + (form - 21) / 5);
    return MenzeiKikanKani;
}

int DataLayout::RateOf(int form)
{
    if (form < 20) return form % 5;
    if (form == 20 || form == 36) return 0;
    return (form - 21) % 5;
}

int DataLayout::Slots(int form, Slot* out)
{
    SlotList list(out);
    const int rate = RateOf(form);
    switch (KindOf(form)) {
    case GeneralSales:
        list.Pair(F::KazeiUriage);
        list.Add(F::MenzeiUriage);
        list.Add(F::HikazeiYuuka);
        list.Add(F::HikazeiYuukaIgai);
        list.Add(F::HikazeiShisanYushutsu);
        list.Pair(F::KazeiUriageHenkan);
        list.Add(F::MenzeiUriageHenkan);
        list.Add(F::HikazeiUriageHenkan);
        list.Add(F::HikazeiShisanHenkan);
        break;
    case GeneralPurchases:
        PurchaseRuns(list, rate, false);
        PurchaseRuns(list, rate, true);
        break;
    case GeneralBadDebts:
    case KaniBadDebts:
        BadDebts(list);
        break;
    case Adjustments:
        for (C cls : kClasses) {
            list.Add(F::GimuMenjo, M::None, P::Zeinuki, cls);
        }
        list.Add(F::KazeiUriageWariaiHendo);
        list.Add(F::KazeiGyomuyoTenyo);
        list.Add(F::KyojuyoChintai);
        break;
    case MenzeiKikanGeneral:
    case MenzeiKikanKani:
        list.Add(F::MenzeiKikanKazeiUriage);
        break;
    case KaniSales:
    case KaniReturns: {
        const F family = KindOf(form) == KaniSales ? F::KaniUriage : F::KaniHenkan;
        for (uint8_t kind = 1; kind <= 6; ++kind) {
            list.Pair(family, C::Kazei, false, kind);
        }
        list.Pair(family, C::Kazei, false, 0);
        list.Add(KindOf(form) == KaniSales ? F::MenzeiUriage : F::MenzeiUriageHenkan);
        break;
    }
    }
    return list.Count();
}
