#include "suite/TaxSummation.h"

#include <cstddef>
#include <cstring>

#include "suite/RuleStatus.h"
#include "suite/TaxCodeTable.h"

namespace {

#define RATE_OFF(field) static_cast<int>(offsetof(StTAXREPORTRATEINFO, field))
#define KIND_OFF(field) static_cast<int>(offsetof(StTAXREPORTBUSINESSTYPEINFO, field))

constexpr int kNone = -1;

// The first amount of a record and the bytes from there to its end.
constexpr size_t kRateAmountsFrom = offsetof(StTAXREPORTRATEINFO, reserved1);
constexpr size_t kKindAmountsFrom = offsetof(StTAXREPORTBUSINESSTYPEINFO, reserved1);

struct Triple {
    int nuki, zei, komi;
};

// The rate-record triple a purchase-kind code feeds, by class.
Triple ShiireTriple(TaxCodeKind kind, ShiireClass cls)
{
    switch (kind) {
    case TaxCodeKind::Shiire:
        if (cls == ShiireClass::Kazei) return {RATE_OFF(llShiireKazeiNuki), RATE_OFF(llShiireKazeiZei), RATE_OFF(llShiireKazeiKomi)};
        if (cls == ShiireClass::Hikazei) return {RATE_OFF(llShiireHikazeiNuki), RATE_OFF(llShiireHikazeiZei), RATE_OFF(llShiireHikazeiKomi)};
        return {RATE_OFF(llShiireKyotuuNuki), RATE_OFF(llShiireKyotuuZei), RATE_OFF(llShiireKyotuuKomi)};
    case TaxCodeKind::ShiireHenkan:
        if (cls == ShiireClass::Kazei) return {RATE_OFF(llShiireHenkanKazeiNuki), RATE_OFF(llShiireHenkanKazeiZei), RATE_OFF(llShiireHenkanKazeiKomi)};
        if (cls == ShiireClass::Hikazei) return {RATE_OFF(llShiireHenkanHikazeiNuki), RATE_OFF(llShiireHenkanHikazeiZei), RATE_OFF(llShiireHenkanHikazeiKomi)};
        return {RATE_OFF(llShiireHenkanKyotuuNuki), RATE_OFF(llShiireHenkanKyotuuZei), RATE_OFF(llShiireHenkanKyotuuKomi)};
    case TaxCodeKind::Yunyu:
        if (cls == ShiireClass::Kazei) return {RATE_OFF(llYunyuKazeiNuki), RATE_OFF(llYunyuKazeiZei), RATE_OFF(llYunyuKazeiKomi)};
        if (cls == ShiireClass::Hikazei) return {RATE_OFF(llYunyuHikazeiNuki), RATE_OFF(llYunyuHikazeiZei), RATE_OFF(llYunyuHikazeiKomi)};
        return {RATE_OFF(llYunyuKyotuuNuki), RATE_OFF(llYunyuKyotuuZei), RATE_OFF(llYunyuKyotuuKomi)};
    case TaxCodeKind::YunyuHenkan:
        if (cls == ShiireClass::Kazei) return {RATE_OFF(llYunyuHenkanKazeiNuki), RATE_OFF(llYunyuHenkanKazeiZei), RATE_OFF(llYunyuHenkanKazeiKomi)};
        if (cls == ShiireClass::Hikazei) return {RATE_OFF(llYunyuHenkanHikazeiNuki), RATE_OFF(llYunyuHenkanHikazeiZei), RATE_OFF(llYunyuHenkanHikazeiKomi)};
        return {RATE_OFF(llYunyuHenkanKyotuuNuki), RATE_OFF(llYunyuHenkanKyotuuZei), RATE_OFF(llYunyuHenkanKyotuuKomi)};
    default:
        return {kNone, kNone, kNone};
    }
}

} // namespace

TaxSummation::TaxSummation(StTAXREPORTRATEINFO* rates, StTAXREPORTBUSINESSTYPEINFO* kinds, int32_t substRate)
    : rates_(rates), kinds_(kinds), substRate_(substRate)
{
}

void TaxSummation::Begin()
{
    for (int i = 0; i < RATES * GROUPS; ++i)
        std::memset(reinterpret_cast<char*>(&rates_[i]) + kRateAmountsFrom, 0,
                    sizeof(StTAXREPORTRATEINFO) - kRateAmountsFrom);
    for (int i = 0; i < RATES * KINDS; ++i)
        std::memset(reinterpret_cast<char*>(&kinds_[i]) + kKindAmountsFrom, 0,
                    sizeof(StTAXREPORTBUSINESSTYPEINFO) - kKindAmountsFrom);
    std::memset(yuka_, 0, sizeof yuka_);
    status_ = RULE_OK;
}

void TaxSummation::ResolveRate(const StSWKTSIDE& side, int32_t& rate, uint8_t& reduced) const
{
    if (side.lZeiRate != 0) {
        rate = side.lZeiRate;
        reduced = side.byKeigen;
    } else if (substRate_ != 0) {
        rate = substRate_;
        reduced = 0;
    } else {
        rate = 1000;
        reduced = 0;
    }
}

int TaxSummation::FindRateRecord(int32_t rate, uint8_t reduced) const
{
    for (int i = 0; i < RATES; ++i)
        if (rates_[i].lZeiRate == rate && rates_[i].byKeigen == reduced)
            return i;
    return kNone;
}

int TaxSummation::FindKindRecord(int32_t rate, uint8_t reduced, int kind) const
{
    for (int i = 0; i < RATES * KINDS; ++i)
        if (kinds_[i].lZeiRate == rate && kinds_[i].byKeigen == reduced && kinds_[i].byJigyoKubun == kind)
            return i;
    return kNone;
}

void TaxSummation::Add(void* record, int offset, int64_t value)
{
    if (offset == kNone)
        return;
    char* at = static_cast<char*>(record) + offset;
    int64_t current;
    std::memcpy(&current, at, sizeof current);
    if (__builtin_add_overflow(current, value, &current)) {
        if (status_ == RULE_OK)
            status_ = RULE_ERR_OVERFLOW;
        return;
    }
    std::memcpy(at, &current, sizeof current);
}

void TaxSummation::AddTriple(void* record, int offNuki, int offZei, int offKomi, int64_t nuki, int64_t zei)
{
    int64_t komi;
    if (__builtin_add_overflow(nuki, zei, &komi)) {
        if (status_ == RULE_OK)
            status_ = RULE_ERR_OVERFLOW;
        return;
    }
    Add(record, offNuki, nuki);
    Add(record, offZei, zei);
    Add(record, offKomi, komi);
}

void TaxSummation::AddSide(const StSWKTSIDE& side, int sideNo)
{
    const TaxCodeRule* rule = TaxCodeTable::Find(side.byZeiCode);
    if (rule == nullptr || rule->kind == TaxCodeKind::Outside)
        return;
    int32_t rate;
    uint8_t reduced;
    ResolveRate(side, rate, reduced);
    int index = FindRateRecord(rate, reduced);
    if (index == kNone) {
        if (status_ == RULE_OK)
            status_ = RULE_ERR_NORECORD;
        return;
    }
    // A code adds on its natural side; on the other side it takes back.
    int64_t nuki = side.llKingaku;
    int64_t zei = side.llZeigaku;
    if (sideNo != rule->naturalSide) {
        if (nuki == INT64_MIN || zei == INT64_MIN) {
            if (status_ == RULE_OK)
                status_ = RULE_ERR_OVERFLOW;
            return;
        }
        nuki = -nuki;
        zei = -zei;
    }
    StTAXREPORTRATEINFO* rec = &rates_[index];

    switch (rule->kind) {
    case TaxCodeKind::KazeiUriage:
    case TaxCodeKind::KazeiUriageHenkan: {
        bool sale = rule->kind == TaxCodeKind::KazeiUriage;
        if (sale)
            AddTriple(rec, RATE_OFF(llKazeiUriageNuki), RATE_OFF(llKazeiUriageZei), RATE_OFF(llKazeiUriageKomi), nuki, zei);
        else
            AddTriple(rec, RATE_OFF(llKazeiHenkanNuki), RATE_OFF(llKazeiHenkanZei), RATE_OFF(llKazeiHenkanKomi), nuki, zei);
        if (side.byJigyoKubun >= 1 && side.byJigyoKubun <= KINDS) {
            int k = FindKindRecord(rate, reduced, side.byJigyoKubun);
            if (k == kNone) {
                if (status_ == RULE_OK)
                    status_ = RULE_ERR_NORECORD;
            } else if (sale) {
                AddTriple(&kinds_[k], KIND_OFF(llUriageNuki), KIND_OFF(llUriageZei), KIND_OFF(llUriageKomi), nuki, zei);
            } else {
                AddTriple(&kinds_[k], KIND_OFF(llHenkanNuki), KIND_OFF(llHenkanZei), KIND_OFF(llHenkanKomi), nuki, zei);
            }
        }
        break;
    }
    case TaxCodeKind::MenzeiUriage:
        Add(rec, RATE_OFF(llMenzeiUriage), nuki);
        break;
    case TaxCodeKind::MenzeiUriageHenkan:
        Add(rec, RATE_OFF(llMenzeiHenkan), nuki);
        break;
    case TaxCodeKind::HikazeiUriageYuka:
        // Only 5 % of these sales enter the taxable-sales ratio; the share is
        // formed once from the whole sum in Finish.
        if (__builtin_add_overflow(yuka_[index], nuki, &yuka_[index]) && status_ == RULE_OK)
            status_ = RULE_ERR_OVERFLOW;
        break;
    case TaxCodeKind::HikazeiUriageSonota:
        Add(rec, RATE_OFF(llHikazeiUriageSonota), nuki);
        break;
    case TaxCodeKind::HikazeiUriageHenkan:
        Add(rec, RATE_OFF(llHikazeiHenkan), nuki);
        break;
    case TaxCodeKind::HikazeiShisanYushutsu:
        Add(rec, RATE_OFF(llHikazeiShisanYushutsu), nuki);
        break;
    case TaxCodeKind::Shiire:
    case TaxCodeKind::ShiireHenkan: {
        Triple t = ShiireTriple(rule->kind, rule->shiireClass);
        AddTriple(rec, t.nuki, t.zei, t.komi, nuki, zei);
        // Purchases without a qualified invoice also go to the group of
        // their transitional deduction.
        if (side.byInvoice == 1 || side.byInvoice == 2)
            AddTriple(&rates_[index + RATES * side.byInvoice], t.nuki, t.zei, t.komi, nuki, zei);
        break;
    }
    case TaxCodeKind::Yunyu:
    case TaxCodeKind::YunyuHenkan: {
        Triple t = ShiireTriple(rule->kind, rule->shiireClass);
        AddTriple(rec, t.nuki, t.zei, t.komi, nuki, zei);
        break;
    }
    case TaxCodeKind::YunyuChiho:
        Add(rec, RATE_OFF(llYunyuChiho), zei);
        break;
    case TaxCodeKind::YunyuHenkanChiho:
        Add(rec, RATE_OFF(llYunyuHenkanChiho), zei);
        break;
    case TaxCodeKind::Kashidaore:
        AddTriple(rec, RATE_OFF(llKashidaoreNuki), RATE_OFF(llKashidaoreZei), RATE_OFF(llKashidaoreKomi), nuki, zei);
        break;
    case TaxCodeKind::KashidaoreKaishu:
        AddTriple(rec, RATE_OFF(llKashidaoreKaishuNuki), RATE_OFF(llKashidaoreKaishuZei), RATE_OFF(llKashidaoreKaishuKomi), nuki, zei);
        break;
    case TaxCodeKind::Outside:
        break;
    }
}

long TaxSummation::Finish()
{
    for (int i = 0; i < RATES; ++i) {
        // 5 %, rounded half away from zero to the raw unit.
        int64_t sum = yuka_[i];
        int64_t share = sum / 20;
        int64_t rest = sum % 20;
        if (rest >= 10)
            ++share;
        else if (rest <= -10)
            --share;
        rates_[i].llHikazeiUriageYuka = share;
    }
    return status_;
}
