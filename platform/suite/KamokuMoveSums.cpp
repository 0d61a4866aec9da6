#include "suite/KamokuMoveSums.h"

#include "suite/RuleQuery.h"

namespace {

// The question the kept sums answer, and the sums.
struct Kept {
    suite::StoreVersion version;
    long long dataNo = 0;
    std::string where;
    std::vector<long long> params;
    std::shared_ptr<const KamokuMoveSums> sums;
};

Kept& TheKept()
{
    static Kept kept;
    return kept;
}

long long g_passes = 0;

} // namespace

int KamokuMoveSums::SlotOf(long long monthKind)
{
    if (monthKind >= 1 && monthKind <= 12)
        return static_cast<int>(monthKind);
    if (monthKind == 18)
        return KAMOKUSUM_SLOT_KESSAN;
    if (monthKind == 15)
        return KAMOKUSUM_SLOT_CHUKAN;
    return -1;
}

long KamokuMoveSums::Get(suite::SuiteStore* store, long long dataNo, const std::string& where,
                         const std::vector<long long>& params, std::shared_ptr<const KamokuMoveSums>* out)
{
    Kept& kept = TheKept();
    suite::StoreVersion now;
    const bool versioned = store->Version(&now);
    if (versioned && kept.sums && kept.version == now && kept.dataNo == dataNo && kept.where == where &&
        kept.params == params) {
        *out = kept.sums;
        return SUITE_OK;
    }
    // The old sums go before the new ones are gathered: never two sets at once.
    kept = Kept();
    auto sums = std::make_shared<KamokuMoveSums>();
    ++g_passes;
    long status = sums->Gather(store,
                               "SELECT month_kind, dr_account, dr_dept, dr_amount, dr_tax,"
                               " cr_account, cr_dept, cr_amount, cr_tax FROM journal WHERE " + where,
                               params);
    if (status != SUITE_OK)
        return status;
    if (versioned)
        Keep(now, dataNo, where, params, sums);
    *out = std::move(sums);
    return SUITE_OK;
}

void KamokuMoveSums::Keep(const suite::StoreVersion& version, long long dataNo, const std::string& where,
                          const std::vector<long long>& params, std::shared_ptr<const KamokuMoveSums> sums)
{
    Kept& kept = TheKept();
    kept.version = version;
    kept.dataNo = dataNo;
    kept.where = where;
    kept.params = params;
    kept.sums = std::move(sums);
}

void KamokuMoveSums::Forget() { TheKept() = Kept(); }

long long KamokuMoveSums::Passes() { return g_passes; }

KamokuMoveSums::Collector::Collector(suite::SuiteStore* store, long long dataNo, const std::string& where,
                                     const std::vector<long long>& params)
    : dataNo_(dataNo), where_(where), params_(params)
{
    versioned_ = store->Version(&version_);
    if (versioned_) {
        TheKept() = Kept();  // never two sets at once
        sums_ = std::make_shared<KamokuMoveSums>();
    }
}

void KamokuMoveSums::Collector::Add(long long monthKind, const StSWKTSIDE& kari, const StSWKTSIDE& kashi)
{
    if (!sums_)
        return;
    const int slot = SlotOf(monthKind);
    if (slot < 0)
        return;
    sums_->AddSide(slot, 0, kari.lKamokuCode, kari.lBumonCode, kari.llKingaku, kari.llZeigaku);
    sums_->AddSide(slot, 1, kashi.lKamokuCode, kashi.lBumonCode, kashi.llKingaku, kashi.llZeigaku);
}

void KamokuMoveSums::Collector::Keep()
{
    if (sums_)
        KamokuMoveSums::Keep(version_, dataNo_, where_, params_, std::move(sums_));
    sums_.reset();
}

const KamokuMoveSums::Slots* KamokuMoveSums::Of(int32_t account) const
{
    auto it = byAccount_.find(account);
    return it == byAccount_.end() ? nullptr : &it->second;
}

const KamokuMoveSums::Slots* KamokuMoveSums::Of(int32_t account, int32_t dept) const
{
    auto it = byAccountDept_.find(Key(account, dept));
    return it == byAccountDept_.end() ? nullptr : &it->second;
}

bool KamokuMoveSums::AddTo(Slots& s, int slot, bool credit, int64_t amount, int64_t tax)
{
    s.present |= 1u << slot;
    int64_t& n = credit ? s.kashiNuki[slot] : s.kariNuki[slot];
    int64_t& z = credit ? s.kashiZei[slot] : s.kariZei[slot];
    const bool okN = !__builtin_add_overflow(n, amount, &n);
    const bool okZ = !__builtin_add_overflow(z, tax, &z);
    return okN && okZ;
}

// Sides whose account is 0 are empty and count nowhere; the month kinds that
// no slot holds cannot be stored (the journal's check allows only those that
// have one).
void KamokuMoveSums::AddSide(int slot, int side, int32_t account, int32_t dept, int64_t amount, int64_t tax)
{
    if (account == 0)
        return;
    if (!lastAll_[side] || lastAccount_[side] != account) {
        lastAll_[side] = &byAccount_[account];
        lastDept_[side] = nullptr;
        lastAccount_[side] = account;
    }
    if (!lastDept_[side] || lastDeptCode_[side] != dept) {
        lastDept_[side] = &byAccountDept_[Key(account, dept)];
        lastDeptCode_[side] = dept;
    }
    if (!AddTo(*lastAll_[side], slot, side == 1, amount, tax))
        overflowAll_ = true;
    if (!AddTo(*lastDept_[side], slot, side == 1, amount, tax))
        overflowDepts_.insert(dept);
}

long KamokuMoveSums::Gather(suite::SuiteStore* store, const std::string& sql, const std::vector<long long>& params)
{
    long status;
    suite::Statement stmt = RuleQuery::Prepare(store, sql, params, &status);
    if (status != SUITE_OK)
        return status;
    while ((status = stmt.Step()) == SUITE_OK) {
        const int slot = SlotOf(stmt.Int(0));
        if (slot < 0)
            continue;
        for (int side = 0; side < 2; ++side) {
            const int col = 1 + 4 * side;
            AddSide(slot, side, static_cast<int32_t>(stmt.Int(col)), static_cast<int32_t>(stmt.Int(col + 1)),
                    stmt.Int(col + 2), stmt.Int(col + 3));
        }
    }
    return status == SUITE_EOD ? SUITE_OK : status;
}
